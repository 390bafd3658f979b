#include "os/DynamicLibrary.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include <windows.h>

std::string ExecutableDirectory()
{
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length == std::size(path)) return {};
    return std::filesystem::path(std::wstring(path, length)).parent_path().string();
}

// Windows' error codes in the system's own words.
void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error)
{
    HMODULE library = LoadLibraryW(std::filesystem::path(path).wstring().c_str());
    if (!library) {
        error = std::system_category().message(static_cast<int>(GetLastError()));
        return nullptr;
    }
    void* address = reinterpret_cast<void*>(GetProcAddress(library, symbol));
    if (!address) error = std::system_category().message(static_cast<int>(GetLastError()));
    return address;
}
