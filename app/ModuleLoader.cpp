#include "app/ModuleLoader.h"

#include "app/ChartModule.h"
#include "app/VerifyModule.h"
#include "framework/base/Exception.h"
#include "os/DynamicLibrary.h"

#include <string>

// The build names each module a program loads (ROOTFINDER_CHART_MODULE, ROOTFINDER_VERIFY_MODULE;
// empty for one the program does without) and the folder, relative to the program's, that they
// are installed in (ROOTFINDER_MODULE_DIR).
namespace {

struct Module {
    const char* file;
    const char* what;        // the module, as the messages name it
    const char* unavailable; // what the user goes without when it cannot be loaded
    const char* versionSymbol;
    int version;
};

const Module kChartModule = {ROOTFINDER_CHART_MODULE, "модуль рисования графиков",
                             "--plot недоступен. Переустановите программу или запустите её без --plot.",
                             kChartModuleVersionSymbol, kChartModuleVersion};
const Module kVerifyModule = {ROOTFINDER_VERIFY_MODULE, "модуль проверки корней",
                              "--roots и --all-roots недоступны. Переустановите программу или запустите её без них.",
                              kVerifyModuleVersionSymbol, kVerifyModuleVersion};

void* LoadSymbol(const Module& module, const char* symbol)
{
    return LoadModuleSymbol(module.file, ROOTFINDER_MODULE_DIR, symbol, module.what, module.unavailable);
}

// The module's entry point `symbol`, once the module has said it speaks this program's version of
// their interface: a module of another build may pass its structures laid out otherwise.
template <class Entry>
Entry LoadEntry(const Module& module, const char* symbol)
{
    const auto version = reinterpret_cast<int (*)()>(LoadSymbol(module, module.versionSymbol))();
    if (version != module.version)
        throw Exception("Не подходит " + std::string(module.what) + " " + module.file + " (его версия " +
                        std::to_string(version) + ", а эта программа работает с версией " +
                        std::to_string(module.version) + "): " + module.unavailable);
    return reinterpret_cast<Entry>(LoadSymbol(module, symbol));
}

// Calls a module's entry point, which reports a failure as 0 and a message: raised as an Exception.
template <class Entry, class... Arguments>
void Call(Entry entry, Arguments... arguments)
{
    char error[1024] = "";
    if (!entry(arguments..., error, sizeof error)) throw Exception(error);
}

ChartRenderer LoadChartModule()
{
    const auto render = LoadEntry<RenderChartFunction>(kChartModule, kRenderChartSymbol);
    return [render](const std::vector<PlotPoint>& points, ChartFormat format) {
        std::string image;
        const ChartBytesSink append = [](void* context, const char* data, std::size_t size) {
            static_cast<std::string*>(context)->append(data, size);
        };
        Call(render, points.data(), points.size(), static_cast<int>(format), append, &image);
        return image;
    };
}

RunVerifier LoadVerifyModule()
{
    const auto verify = LoadEntry<VerifyRunFunction>(kVerifyModule, kVerifyRunSymbol);
    return [verify](const std::vector<RootRecord>& lines, const CalculationInputs& inputs, bool wantZeros) {
        RunVerdicts result;
        result.lines.resize(lines.size());
        const ZeroSinkFunction append = [](void* context, const ZeroEnclosure* zero, const long long* numbers,
                                           std::size_t count) {
            static_cast<std::vector<RunZero>*>(context)->push_back(
                {*zero, std::vector<long long>(numbers, numbers + count)});
        };
        Call(verify, lines.data(), lines.size(), &inputs, result.lines.data(), wantZeros ? append : nullptr,
             &result.zeros);
        return result;
    };
}

} // namespace

ChartRendererLoader ChartModuleLoader()
{
    if (*kChartModule.file == '\0') return {};
    return LoadChartModule;
}

RunVerifierLoader VerifyModuleLoader()
{
    if (*kVerifyModule.file == '\0') return {};
    return LoadVerifyModule;
}
