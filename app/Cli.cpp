#include "Cli.h"

#include "Conversions.h"
#include "Exception.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cctype>
#include <cmath>
#include <new>
#include <optional>
#include <variant>

namespace {

constexpr int kExitRunError = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Использование: rootfinder-cli [--points ФАЙЛ] [--plot ФАЙЛ] A B H EPS\n"
    "\n"
    "Находит корни функции f(x) = e^x / x^3 - sin(x)^3 - 2 на отрезке [A; B]:\n"
    "ищет смену знака с шагом H и уточняет каждый корень методом секущих\n"
    "с точностью EPS. Числа записываются с точкой или запятой.\n"
    "В стандартный вывод пишется отчёт, строка за строкой.\n"
    "\n"
    "  --points ФАЙЛ  записать точки графика в CSV (заголовок x,y)\n"
    "  --plot ФАЙЛ    нарисовать график в PNG или SVG (по расширению файла)\n"
    "  --help         показать эту справку\n";

struct Arguments {
    std::array<std::string_view, 4> inputs; // A, B, H, EPS
    std::optional<std::string> pointsFile;
    std::optional<std::string> plotFile;
};

bool ConvertsToNumber(std::string_view text)
{
    try {
        StrToFloat(text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

// Returns the arguments, or an explanation of what is wrong with them.
std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string_view>& arguments)
{
    Arguments parsed;
    std::size_t positional = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool isFileOption = argument == "--points" || argument == "--plot";
        if (isFileOption) {
            if (i + 1 == arguments.size()) return "после " + std::string(argument) + " нужно имя файла";
            auto& file = argument == "--points" ? parsed.pointsFile : parsed.plotFile;
            if (file) return std::string(argument) + " задан дважды";
            file = std::string(arguments[++i]);
            continue;
        }
        // A negative number is a value, never an option.
        if (argument.size() > 1 && argument.front() == '-' && !ConvertsToNumber(argument))
            return "неизвестный параметр " + std::string(argument);
        if (positional == parsed.inputs.size()) return "лишний аргумент " + std::string(argument);
        parsed.inputs[positional++] = argument;
    }
    if (positional < parsed.inputs.size()) return "нужны четыре числа: A B H EPS";
    return parsed;
}

void WriteOrFail(std::FILE* file, const char* data, std::size_t size, const std::string& name)
{
    if (std::fwrite(data, 1, size, file) != size) throw Exception("Не удалось записать в файл «" + name + "».");
}

class StreamReport final : public ReportSink {
public:
    explicit StreamReport(std::FILE* out) : out_(out) {}
    void Add(const std::string& line) override
    {
        std::fwrite(line.data(), 1, line.size(), out_);
        std::fputc('\n', out_);
    }

private:
    std::FILE* out_;
};

// Writes the points as CSV, each number in the shortest form that reads back to the same
// double, and keeps them for the chart when one is wanted. The file is created when the
// run clears the plot, so a run refused at its inputs leaves an existing file alone.
class PointsOutput final : public PlotSink {
public:
    PointsOutput(const std::optional<std::string>& csvFile, bool keepPoints) : csvName_(csvFile), keep_(keepPoints) {}
    ~PointsOutput() override
    {
        if (csv_) std::fclose(csv_);
    }

    void Clear() override
    {
        kept_.clear();
        if (!csvName_) return;
        if (csv_) std::fclose(csv_);
        csv_ = std::fopen(csvName_->c_str(), "wb");
        if (!csv_) throw Exception("Не удалось создать файл «" + *csvName_ + "».");
        WriteOrFail(csv_, "x,y\n", 4, *csvName_);
    }

    void Add(PlotPoint point) override
    {
        if (keep_) kept_.push_back(point);
        if (!csv_) return;
        char line[64];
        char* end = WriteNumber(line, point.x);
        *end++ = ',';
        end = WriteNumber(end, point.y);
        *end++ = '\n';
        WriteOrFail(csv_, line, static_cast<std::size_t>(end - line), *csvName_);
    }

    // Flushes and closes the CSV file, reporting a failed write.
    void Finish()
    {
        if (!csv_) return;
        const bool failed = std::fflush(csv_) != 0 || std::ferror(csv_);
        std::fclose(csv_);
        csv_ = nullptr;
        if (failed) throw Exception("Не удалось записать в файл «" + *csvName_ + "».");
    }

    const std::vector<PlotPoint>& Points() const { return kept_; }

private:
    static char* WriteNumber(char* at, double value)
    {
        if (std::isnan(value)) return std::copy_n("nan", 3, at);
        return std::to_chars(at, at + 32, value).ptr; // writes "inf" and "-inf" as they are
    }

    std::optional<std::string> csvName_;
    bool keep_;
    std::FILE* csv_ = nullptr;
    std::vector<PlotPoint> kept_;
};

bool IsChartFileName(std::string_view file)
{
    const auto dot = file.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string extension(file.substr(dot + 1));
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == "png" || extension == "svg";
}

} // namespace

int CliMain(const std::vector<std::string_view>& arguments, std::FILE* out, std::FILE* err,
            const ChartExporter& exportChart)
{
    for (std::string_view argument : arguments) {
        if (argument == "--help") {
            std::fputs(kUsage, out);
            return 0;
        }
    }
    auto parsed = ParseArguments(arguments);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        std::fprintf(err, "rootfinder-cli: %s\n\n%s", problem->c_str(), kUsage);
        return kExitUsage;
    }
    const Arguments& args = std::get<Arguments>(parsed);
    if (args.plotFile && !exportChart) {
        std::fputs("rootfinder-cli: эта сборка не умеет рисовать график (--plot)\n", err);
        return kExitUsage;
    }

    StreamReport report(out);
    PointsOutput points(args.pointsFile, args.plotFile.has_value());
    try {
        // A chart that could not be drawn is refused before a long run, not after it.
        if (args.plotFile && !IsChartFileName(*args.plotFile))
            throw Exception("Не понимаю, в каком формате рисовать «" + *args.plotFile +
                            "»: имя файла графика должно оканчиваться на .png или .svg.");
        CalculationRun(args.inputs[0], args.inputs[1], args.inputs[2], args.inputs[3], report, points);
        points.Finish();
        if (args.plotFile) exportChart(points.Points(), *args.plotFile);
    } catch (const Exception& error) {
        std::fflush(out);
        std::fprintf(err, "%s\n", error.Message.c_str());
        return kExitRunError;
    } catch (const std::bad_alloc&) {
        std::fflush(out);
        std::fputs("Недостаточно памяти для расчёта.\n", err);
        return kExitRunError;
    }
    return std::fflush(out) == 0 ? 0 : kExitRunError;
}
