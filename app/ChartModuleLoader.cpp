#include "app/ChartModuleLoader.h"

#include "app/ChartModule.h"
#include "framework/base/Exception.h"
#include "os/DynamicLibrary.h"

#if !defined(ROOTFINDER_CHART_MODULE) || !defined(ROOTFINDER_CHART_MODULE_DIR)
#error "ROOTFINDER_CHART_MODULE and ROOTFINDER_CHART_MODULE_DIR must name the chart module and its place"
#endif

namespace {

void AppendBytes(void* context, const char* data, std::size_t size) { static_cast<std::string*>(context)->append(data, size); }

} // namespace

ChartRenderer LoadChartModule()
{
    const auto render = reinterpret_cast<RenderChartFunction>(
        LoadModuleSymbol(ROOTFINDER_CHART_MODULE, ROOTFINDER_CHART_MODULE_DIR, kRenderChartSymbol, "модуль рисования графиков",
                         "--plot недоступен. Переустановите программу или запустите её без --plot."));
    return [render](const std::vector<PlotPoint>& points, ChartFormat format) {
        std::string image;
        char error[1024] = "";
        if (!render(points.data(), points.size(), format == ChartFormat::Svg, AppendBytes, &image, error, sizeof error))
            throw Exception(error);
        return image;
    };
}
