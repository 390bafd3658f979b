#include "os/DynamicLibrary.h"

#include <filesystem>
#include <system_error>

#include <dlfcn.h>

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
