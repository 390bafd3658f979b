#include "app/ModuleEntry.h"
#include "app/VerifyModule.h"

#include <algorithm>
#include <vector>

extern "C" ROOTFINDER_MODULE_EXPORT int RootfinderVerifyModuleVersion() { return kVerifyModuleVersion; }

extern "C" ROOTFINDER_MODULE_EXPORT int RootfinderVerifyRun(const RootRecord* lines, std::size_t count,
                                                            const CalculationInputs* inputs, LineVerdict* verdicts,
                                                            ZeroSinkFunction zeroSink, void* context, char* error,
                                                            std::size_t errorSize)
{
    return RunModuleEntry(
        [&] {
            const RunVerdicts result =
                VerifyRun(std::vector<RootRecord>(lines, lines + count), *inputs, zeroSink != nullptr);
            std::copy(result.lines.begin(), result.lines.end(), verdicts);
            for (const RunZero& zero : result.zeros)
                zeroSink(context, &zero.enclosure, zero.lines.data(), zero.lines.size());
        },
        error, errorSize, "недостаточно памяти для проверки корней.", "проверка корней не удалась.");
}
