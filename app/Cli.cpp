#include "app/Cli.h"

#include "app/CliArguments.h"
#include "app/CsvWriter.h"
#include "core/EvaluateBlock.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "generated/Version.h"
#include "os/SaveFile.h"
#include "os/SystemError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <variant>

namespace {

constexpr int kExitRunError = 1;
constexpr int kExitUsage = 2;

const char* const kProgram = "rootfinder-cli";

class StreamReport final : public ReportSink {
public:
    explicit StreamReport(std::FILE* out) : out_(out) {}
    void Add(const std::string& line) override
    {
        std::fwrite(line.data(), 1, line.size(), out_);
        std::fputc('\n', out_);
        if (std::ferror(out_)) RaiseFailure();
    }
    // Flushes stdout; raises Exception when what was written did not all get there.
    void Finish()
    {
        if (std::fflush(out_) != 0 || std::ferror(out_)) RaiseFailure();
    }

private:
    [[noreturn]] static void RaiseFailure()
    {
        throw Exception("не удалось записать отчёт в стандартный вывод: " + DescribeSystemError(errno) + ".");
    }

    std::FILE* out_;
};

// Writes the points as CSV (x,y) and keeps them for the chart when one is wanted.
class PointsOutput final : public PlotSink {
public:
    PointsOutput(TSaveFile* file, bool keepPoints) : keep_(keepPoints)
    {
        if (file) csv_.emplace(*file, "x,y");
    }

    void Clear() override { kept_.clear(); }
    void Reserve(std::size_t points) override
    {
        if (keep_) kept_.reserve(points);
    }

    void Add(PlotPoint point) override
    {
        if (keep_) kept_.push_back(point);
        if (csv_) csv_->Number(point.x).Number(point.y).EndLine();
    }

    void AddBlock(const double* xs, const double* ys, std::size_t count) override
    {
        if (keep_ || csv_) PlotSink::AddBlock(xs, ys, count); // a report-only run drops its points
    }

    const std::vector<PlotPoint>& Points() const { return kept_; }

private:
    std::optional<CsvWriter> csv_;
    bool keep_;
    std::vector<PlotPoint> kept_;
};

std::optional<ChartFormat> ChartFormatOf(const std::string& file)
{
    std::string extension = std::filesystem::path(file).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".png") return ChartFormat::Png;
    if (extension == ".svg") return ChartFormat::Svg;
    return std::nullopt;
}

// Every line a message holds begins with the program's name.
void PrintMessage(std::FILE* err, const std::string& message)
{
    std::size_t start = 0;
    do {
        const std::size_t end = std::min(message.find('\n', start), message.size());
        std::fprintf(err, "%s: %.*s\n", kProgram, static_cast<int>(end - start), message.data() + start);
        start = end + 1;
    } while (start < message.size());
}

int UsageError(std::FILE* err, const std::string& problem)
{
    PrintMessage(err, problem + "\nИспользование: rootfinder-cli [ПАРАМЕТР]... A B H EPS (подробнее: rootfinder-cli --help)");
    return kExitUsage;
}

// Writes help or version text to stdout, reporting a failed write.
int PrintToStdout(std::FILE* out, std::FILE* err, const std::string& text)
{
    std::fputs(text.c_str(), out);
    if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
    PrintMessage(err, "не удалось записать в стандартный вывод: " + DescribeSystemError(errno) + ".");
    return kExitRunError;
}

// Puts every finished file in place. A rename that fails after others have succeeded cannot undo
// them: the message says which files were replaced all the same.
void CommitAll(std::initializer_list<TSaveFile*> files)
{
    std::string replaced;
    for (TSaveFile* file : files) {
        if (!file) continue;
        try {
            if (file->Commit()) replaced += (replaced.empty() ? "" : ", ") + QuoteForMessage(file->Destination());
        } catch (const Exception& error) {
            if (replaced.empty()) throw;
            throw Exception(error.Message + "\nУже записаны: " + replaced + ".");
        }
    }
}

} // namespace

int CliMain(const std::vector<std::string_view>& arguments, std::FILE* out, std::FILE* err,
            const ChartRendererLoader& loadChartRenderer, const RunVerifierLoader& loadVerifier)
{
    auto parsed = ParseCliArguments(arguments);
    if (auto* problem = std::get_if<std::string>(&parsed)) return UsageError(err, *problem);
    const CliArguments& args = std::get<CliArguments>(parsed);
    if (args.action == CliArguments::Action::Help) return PrintToStdout(out, err, kCliUsage);
    if (args.action == CliArguments::Action::Version)
        return PrintToStdout(out, err, std::string(kProgram) + " " + kRootfinderVersion + "\n");
    if (const char* simd = std::getenv("ROOTFINDER_SIMD")) {
        switch (RequestedEvaluationPath()) {
        case EvaluationPathRequest::Unknown:
            return UsageError(err, "ROOTFINDER_SIMD=" + QuoteForMessage(simd) +
                                       ": неизвестный путь вычисления; допустимы scalar, sse2, avx2, avx512, advsimd");
        case EvaluationPathRequest::Unavailable:
            PrintMessage(err, "ROOTFINDER_SIMD=" + QuoteForMessage(simd) + ": этот процессор или эта сборка так не умеет; f вычисляется путём " +
                                  std::string(EvaluationPathName(ActiveEvaluationPath())) + ".");
            break;
        default: break;
        }
    }
    if (args.plotFile && !loadChartRenderer)
        return UsageError(err, "эта сборка не умеет рисовать график (--plot)");
    const bool wantVerdicts = args.rootsFile || args.allRootsFile;
    if (wantVerdicts && !loadVerifier)
        return UsageError(err, "эта сборка не умеет проверять корни (--roots, --all-roots)");
    const auto files = args.Files();
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (SameFile(*files[i].second, *files[j].second))
                return UsageError(err, std::string(files[i].first) + " и " + std::string(files[j].first) +
                                           " называют один и тот же файл " + QuoteForMessage(*files[j].second));
    // Replacing the file stdout or stderr writes to would lose the report or the messages, and the
    // one stdin reads from is the user's input, not ours to replace.
    for (const auto& [option, file] : files)
        for (const auto& [stream, name] : {std::pair{out, "в который идёт стандартный вывод"},
                                           std::pair{err, "в который идёт стандартный поток ошибок"},
                                           std::pair{stdin, "из которого читает стандартный ввод"}})
            if (IsFileOfStream(*file, stream))
                return UsageError(err, std::string(option) + " называет файл " + QuoteForMessage(*file) + ", " + name +
                                           "; выберите другой файл");

    StreamReport report(out);
    try {
        // Everything that could refuse the chart or the files is checked before a long run.
        ChartRenderer renderChart;
        ChartFormat chartFormat{};
        if (args.plotFile) {
            const auto format = ChartFormatOf(*args.plotFile);
            if (!format)
                throw Exception("Не понимаю, в каком формате рисовать " + QuoteForMessage(*args.plotFile) +
                                ": имя файла графика должно оканчиваться на .png или .svg.");
            chartFormat = *format;
            renderChart = loadChartRenderer();
        }
        RunVerifier verify;
        if (wantVerdicts) verify = loadVerifier();
        const auto open = [](const std::optional<std::string>& file) {
            return file ? std::make_unique<TSaveFile>(*file) : nullptr;
        };
        const auto pointsFile = open(args.pointsFile);
        const auto rootsFile = open(args.rootsFile);
        const auto plotFile = open(args.plotFile);
        const auto allRootsFile = open(args.allRootsFile);

        PointsOutput points(pointsFile.get(), plotFile != nullptr);
        RootRecords roots;
        const CalculationInputs inputs = ParseInputs(args.inputs[0], args.inputs[1], args.inputs[2], args.inputs[3]);
        CalculationRun(inputs, report, points, wantVerdicts ? &roots : nullptr);
        if (wantVerdicts) {
            const RunVerdicts verdicts = verify(roots.records, inputs, allRootsFile != nullptr);
            if (rootsFile) WriteRootLines(*rootsFile, roots.records, verdicts.lines);
            if (allRootsFile) WriteZeros(*allRootsFile, verdicts.zeros);
        }

        if (plotFile) plotFile->Write(renderChart(points.Points(), chartFormat));
        report.Finish();
        for (TSaveFile* file : {pointsFile.get(), rootsFile.get(), plotFile.get(), allRootsFile.get()})
            if (file) file->Finish();
        CommitAll({pointsFile.get(), rootsFile.get(), plotFile.get(), allRootsFile.get()});
    } catch (const Exception& error) {
        std::fflush(out);
        PrintMessage(err, error.Message);
        return kExitRunError;
    } catch (const std::bad_alloc&) {
        std::fflush(out);
        PrintMessage(err, "недостаточно памяти для расчёта.");
        return kExitRunError;
    }
    return 0;
}
