#include "os/Desktop.h"

#include <filesystem>
#include <string>

#include <windows.h>

bool UsesDisplayServer() { return false; }

// Windows has Tahoma.
std::span<const char* const> ExtraFontFiles() { return {}; }

// %WINDIR%/Fonts, in UTF-8.
std::string SystemFontFolder()
{
    std::wstring windows(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(L"WINDIR", windows.data(), static_cast<DWORD>(windows.size()));
    if (length > windows.size()) { // too small: `length` is the size needed, with the terminating zero
        windows.resize(length);
        length = GetEnvironmentVariableW(L"WINDIR", windows.data(), length);
    }
    windows.resize(length < windows.size() ? length : 0);
    const std::u8string folder = std::filesystem::path(windows).u8string();
    return std::string(folder.begin(), folder.end()) + "/Fonts";
}
