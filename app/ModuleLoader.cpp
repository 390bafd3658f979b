#include "app/ModuleLoader.h"

#include "app/ChartModule.h"
#include "app/VerifyModule.h"
#include "framework/base/Exception.h"
#include "os/DynamicLibrary.h"

// The build names each module a program loads (ROOTFINDER_CHART_MODULE, ROOTFINDER_VERIFY_MODULE)
// and the folder, relative to the program's, that they are installed in (ROOTFINDER_MODULE_DIR).
namespace {

template <class Entry>
Entry LoadEntry(const char* file, const char* symbol, const char* what, const char* unavailable)
{
    return reinterpret_cast<Entry>(LoadModuleSymbol(file, ROOTFINDER_MODULE_DIR, symbol, what, unavailable));
}

// Calls a module's entry point, which reports a failure as 0 and a message: raised as an Exception.
template <class Entry, class... Arguments>
void Call(Entry entry, Arguments... arguments)
{
    char error[1024] = "";
    if (!entry(arguments..., error, sizeof error)) throw Exception(error);
}

} // namespace

#ifdef ROOTFINDER_CHART_MODULE
ChartRenderer LoadChartModule()
{
    const auto render = LoadEntry<RenderChartFunction>(ROOTFINDER_CHART_MODULE, kRenderChartSymbol, "модуль рисования графиков",
                                                       "--plot недоступен. Переустановите программу или запустите её без --plot.");
    return [render](const std::vector<PlotPoint>& points, ChartFormat format) {
        std::string image;
        const ChartBytesSink append = [](void* context, const char* data, std::size_t size) {
            static_cast<std::string*>(context)->append(data, size);
        };
        Call(render, points.data(), points.size(), format == ChartFormat::Svg, append, &image);
        return image;
    };
}
#endif

#ifdef ROOTFINDER_VERIFY_MODULE
RunVerifier LoadVerifyModule()
{
    const auto verify = LoadEntry<VerifyRunFunction>(
        ROOTFINDER_VERIFY_MODULE, kVerifyRunSymbol, "модуль проверки корней",
        "--roots и --all-roots недоступны. Переустановите программу или запустите её без них.");
    return [verify](const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros) {
        RunVerdicts result;
        result.lines.resize(lines.size());
        const ZeroSinkFunction append = [](void* context, const ZeroEnclosure* zero, const long long* numbers, std::size_t count) {
            static_cast<std::vector<RunZero>*>(context)->push_back({*zero, std::vector<long long>(numbers, numbers + count)});
        };
        Call(verify, lines.data(), lines.size(), &inputs, result.lines.data(), wantZeros ? append : nullptr, &result.zeros);
        return result;
    };
}
#endif
