#include "app/VerifyModuleLoader.h"

#include "app/VerifyModule.h"
#include "framework/base/Exception.h"
#include "os/DynamicLibrary.h"

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
    const auto verify = reinterpret_cast<VerifyRunFunction>(
        LoadModuleSymbol(ROOTFINDER_VERIFY_MODULE, ROOTFINDER_VERIFY_MODULE_DIR, kVerifyRunSymbol, "модуль проверки корней",
                         "--roots и --all-roots недоступны. Переустановите программу или запустите её без них."));
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
