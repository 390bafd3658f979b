#include "DynamicLibrary.h"

#include "Conversions.h"
#include "Exception.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifdef _WIN32

std::string ExecutableDirectory()
{
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length == std::size(path)) return {};
    return std::filesystem::path(std::wstring(path, length)).parent_path().string();
}

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

#else

std::string ExecutableDirectory()
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        error = dlerror();
        return nullptr;
    }
    void* address = dlsym(library, symbol);
    if (!address) error = dlerror();
    return address;
}

#endif

void* LoadModuleSymbol(const char* file, const char* directory, const char* symbol, const std::string& what,
                       const std::string& unavailable)
{
    const std::filesystem::path folder = ExecutableDirectory();
    const std::filesystem::path candidates[] = {folder / directory / file, folder / file};
    for (const auto& candidate : candidates) {
        std::error_code missing;
        if (folder.empty() || !std::filesystem::exists(candidate, missing)) continue;
        std::string error;
        if (void* entry = LoadLibrarySymbol(candidate.string(), symbol, error)) return entry;
        throw Exception("Не удалось загрузить " + what + " " + QuoteForMessage(candidate.string()) + ": " + error);
    }
    throw Exception("Не найден " + what + " " + file + " (искали в " +
                    QuoteForMessage(candidates[0].parent_path().lexically_normal().string()) + "): " + unavailable);
}
