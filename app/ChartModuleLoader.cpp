#include "ChartModuleLoader.h"

#include "ChartModule.h"
#include "Conversions.h"
#include "DynamicLibrary.h"
#include "Exception.h"

#include <filesystem>
#include <system_error>

#if !defined(ROOTFINDER_CHART_MODULE) || !defined(ROOTFINDER_CHART_MODULE_DIR)
#error "ROOTFINDER_CHART_MODULE and ROOTFINDER_CHART_MODULE_DIR must name the chart module and its place"
#endif

namespace {

void AppendBytes(void* context, const char* data, std::size_t size) { static_cast<std::string*>(context)->append(data, size); }

} // namespace

ChartRenderer LoadChartModule()
{
    // Installed, the module lies at a fixed place relative to the executable; in the build tree
    // it lies beside it.
    const std::filesystem::path directory = ExecutableDirectory();
    const std::filesystem::path candidates[] = {
        directory / ROOTFINDER_CHART_MODULE_DIR / ROOTFINDER_CHART_MODULE,
        directory / ROOTFINDER_CHART_MODULE,
    };
    for (const auto& candidate : candidates) {
        std::error_code missing;
        if (directory.empty() || !std::filesystem::exists(candidate, missing)) continue;
        std::string error;
        void* entry = LoadLibrarySymbol(candidate.string(), kRenderChartSymbol, error);
        if (!entry)
            throw Exception("Не удалось загрузить модуль рисования графиков " + QuoteForMessage(candidate.string()) + ": " + error);
        const auto render = reinterpret_cast<RenderChartFunction>(entry);
        return [render](const std::vector<PlotPoint>& points, ChartFormat format) {
            std::string image;
            char error[1024] = "";
            if (!render(points.data(), points.size(), format == ChartFormat::Svg, AppendBytes, &image, error, sizeof error))
                throw Exception(error);
            return image;
        };
    }
    throw Exception("Не найден модуль рисования графиков " ROOTFINDER_CHART_MODULE " (искали в " +
                    QuoteForMessage(candidates[0].parent_path().lexically_normal().string()) +
                    "): --plot недоступен. Переустановите программу или запустите её без --plot.");
}
