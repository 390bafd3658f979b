#include "VerifyModuleLoader.h"

#include "DynamicLibrary.h"
#include "Exception.h"
#include "VerifyModule.h"

#include <filesystem>
#include <system_error>

#if !defined(ROOTFINDER_VERIFY_MODULE) || !defined(ROOTFINDER_VERIFY_MODULE_DIR)
#error "ROOTFINDER_VERIFY_MODULE and ROOTFINDER_VERIFY_MODULE_DIR must name the verdict module and its place"
#endif

namespace {

void AppendZero(void* context, const ZeroEnclosure* zero, const long long* lines, std::size_t count)
{
    static_cast<std::vector<RunZero>*>(context)->push_back({*zero, std::vector<long long>(lines, lines + count)});
}

} // namespace

RunVerifier LoadVerifyModule()
{
    // Installed, the module lies at a fixed place relative to the executable; in the build tree
    // it lies beside it.
    const std::filesystem::path directory = ExecutableDirectory();
    const std::filesystem::path candidates[] = {
        directory / ROOTFINDER_VERIFY_MODULE_DIR / ROOTFINDER_VERIFY_MODULE,
        directory / ROOTFINDER_VERIFY_MODULE,
    };
    for (const auto& candidate : candidates) {
        std::error_code missing;
        if (directory.empty() || !std::filesystem::exists(candidate, missing)) continue;
        std::string error;
        void* entry = LoadLibrarySymbol(candidate.string(), kVerifyRunSymbol, error);
        if (!entry)
            throw Exception("Не удалось загрузить модуль проверки корней «" + candidate.string() + "»: " + error);
        const auto verify = reinterpret_cast<VerifyRunFunction>(entry);
        return [verify](const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros) {
            RunVerdicts result;
            result.lines.resize(lines.size());
            char error[1024] = "";
            if (!verify(lines.data(), lines.size(), &inputs, result.lines.data(), wantZeros ? AppendZero : nullptr,
                        &result.zeros, error, sizeof error))
                throw Exception(error);
            return result;
        };
    }
    throw Exception("Не найден модуль проверки корней " ROOTFINDER_VERIFY_MODULE " (искали в «" +
                    candidates[0].parent_path().lexically_normal().string() +
                    "»): --roots и --all-roots недоступны. Переустановите программу или запустите её без них.");
}
