#include "os/SystemError.h"

#include "os/SystemErrorPlatform.h"

#include <cerrno>

std::string DescribeSystemError(int error)
{
    switch (error) {
    case ENOENT: return "нет такой папки";
    case ENOTDIR: return "часть пути — не папка";
    case EACCES:
    case EPERM: return "нет прав на запись";
    case EROFS: return "файловая система доступна только для чтения";
    case ENOSPC: return "на диске нет места";
    case EFBIG: return "файл слишком велик";
    case ENAMETOOLONG: return "слишком длинное имя";
    case EISDIR: return "это папка";
    case EPIPE: return "получатель закрыл канал";
    case EIO: return "ошибка ввода-вывода";
    case EBADF: return "поток закрыт или не открыт для записи";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case ENOMEM: return "недостаточно памяти";
    case ELOOP: return "слишком много символических ссылок";
    case EBUSY:
    case ETXTBSY: return "файл занят";
    case EXDEV: return "файл нельзя переместить на другую файловую систему";
    case EEXIST: return "файл уже существует";
    case EINVAL: return "недопустимое имя или операция";
    case ENXIO:
    case ENODEV: return "нет такого устройства";
    case EAGAIN: return "ресурс временно недоступен";
    case EINTR: return "прервано сигналом";
    default:
        if (const char* text = platform::DescribeOwnErrno(error)) return text;
        return "системная ошибка " + std::to_string(error);
    }
}

std::string DescribeSystemError(const std::error_code& error)
{
    if (error.category() == std::system_category()) return platform::DescribeSystemCode(error.value());
    return DescribeSystemError(error.value());
}
