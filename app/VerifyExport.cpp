#include "app/VerifyModule.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

namespace {

void CopyMessage(std::string_view message, char* error, std::size_t errorSize)
{
    if (errorSize == 0) return;
    const std::size_t size = std::min(message.size(), errorSize - 1);
    std::copy_n(message.data(), size, error);
    error[size] = '\0';
}

} // namespace

extern "C" ROOTFINDER_MODULE_EXPORT int RootfinderVerifyRun(const RootRecord* lines, std::size_t count,
                                                            const CalculationInputs* inputs, LineVerdict* verdicts,
                                                            ZeroSinkFunction zeroSink, void* context, char* error,
                                                            std::size_t errorSize)
{
    try {
        const RunVerdicts result = VerifyRun(std::vector<RootRecord>(lines, lines + count), *inputs, zeroSink != nullptr);
        std::copy(result.lines.begin(), result.lines.end(), verdicts);
        for (const RunZero& zero : result.zeros) zeroSink(context, &zero.enclosure, zero.lines.data(), zero.lines.size());
        return 1;
    } catch (const std::bad_alloc&) {
        CopyMessage("недостаточно памяти для проверки корней.", error, errorSize);
    } catch (...) {
        CopyMessage("проверка корней не удалась.", error, errorSize);
    }
    return 0;
}
