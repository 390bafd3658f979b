#include "os/SystemErrorPlatform.h"

#include <windows.h>

namespace platform {

const char* DescribeOwnErrno(int) { return nullptr; }

// The library's own calls report Windows' error codes, which are no errno values.
std::string DescribeSystemCode(int code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "нет такой папки";
    case ERROR_ACCESS_DENIED: return "нет прав на запись";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "файл занят другой программой";
    case ERROR_WRITE_PROTECT: return "диск защищён от записи";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "на диске нет места";
    case ERROR_FILENAME_EXCED_RANGE: return "слишком длинное имя";
    case ERROR_INVALID_NAME: return "недопустимое имя файла";
    case ERROR_DIRECTORY: return "часть пути — не папка";
    case ERROR_NOT_SAME_DEVICE: return "файл нельзя переместить на другой диск";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "недостаточно памяти";
    default: return "системная ошибка Windows " + std::to_string(code);
    }
}

} // namespace platform
