#include "os/DynamicLibrary.h"

#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"

#include <filesystem>
#include <system_error>

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
