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
#include <array>
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

// The chart's format by the file's extension: the window's, less PDF.
std::optional<ChartFormat> ChartFormatOf(const std::string& file)
{
    const std::string extension = std::filesystem::path(file).extension().string();
    if (extension.empty()) return std::nullopt;
    const auto format = ChartFormatOfExtension(std::string_view(extension).substr(1));
    if (format == ChartFormat::Pdf) return std::nullopt;
    return format;
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
    PrintMessage(err, problem +
                          "\nИспользование: rootfinder-cli [ПАРАМЕТР]... A B H EPS (подробнее: rootfinder-cli --help)");
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

// The destinations' problems that are wrong usage, found before anything is opened: a service
// the build lacks, two options naming one file, a file a standard stream uses.
std::optional<std::string> DestinationProblem(const CliArguments& args, std::FILE* out, std::FILE* err, bool canPlot,
                                              bool canVerify)
{
    if (args.File(OutputFile::Plot) && !canPlot) return "эта сборка не умеет рисовать график (--plot)";
    if ((args.File(OutputFile::Roots) || args.File(OutputFile::AllRoots)) && !canVerify)
        return "эта сборка не умеет проверять корни (--roots, --all-roots)";
    const auto files = args.Files();
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (SameFile(*files[i].second, *files[j].second))
                return std::string(files[i].first) + " и " + std::string(files[j].first) +
                       " называют один и тот же файл " + QuoteForMessage(*files[j].second);
    // Replacing the file stdout or stderr writes to would lose the report or the messages, and the
    // one stdin reads from is the user's input, not ours to replace.
    for (const auto& [option, file] : files)
        for (const auto& [stream, name] : {std::pair{out, "в который идёт стандартный вывод"},
                                           std::pair{err, "в который идёт стандартный поток ошибок"},
                                           std::pair{stdin, "из которого читает стандартный ввод"}})
            if (IsFileOfStream(*file, stream))
                return std::string(option) + " называет файл " + QuoteForMessage(*file) + ", " + name +
                       "; выберите другой файл";
    return std::nullopt;
}

// An unknown ROOTFINDER_SIMD is wrong usage; a path this processor or build lacks is only remarked on.
std::optional<std::string> EnvironmentProblem(std::FILE* err)
{
    const char* simd = std::getenv("ROOTFINDER_SIMD");
    if (!simd) return std::nullopt;
    switch (RequestedEvaluationPath()) {
    case EvaluationPathRequest::Unknown:
        return "ROOTFINDER_SIMD=" + QuoteForMessage(simd) +
               ": неизвестный путь вычисления; допустимы scalar, sse2, avx2, avx512, advsimd";
    case EvaluationPathRequest::Unavailable:
        PrintMessage(err, "ROOTFINDER_SIMD=" + QuoteForMessage(simd) +
                              ": этот процессор или эта сборка так не умеет; f вычисляется путём " +
                              std::string(EvaluationPathName(ActiveEvaluationPath())) + ".");
        break;
    default: break;
    }
    return std::nullopt;
}

// The output files, each under a temporary name until Commit puts them all in place.
class OutputFiles {
public:
    explicit OutputFiles(const CliArguments& args)
    {
        for (std::size_t i = 0; i < kOutputFileCount; ++i)
            if (const auto& name = args.files[i]) files_[i] = std::make_unique<TSaveFile>(*name);
    }

    TSaveFile* operator[](OutputFile file) const { return files_[static_cast<std::size_t>(file)].get(); }

    // Finishes every file, then puts each in place. A rename that fails after others have
    // succeeded cannot undo them: the message says which files were replaced all the same.
    void Commit()
    {
        for (const auto& file : files_)
            if (file) file->Finish();
        std::string replaced;
        for (const auto& file : files_) {
            if (!file) continue;
            try {
                if (file->Commit()) replaced += (replaced.empty() ? "" : ", ") + QuoteForMessage(file->Destination());
            } catch (const Exception& error) {
                if (replaced.empty()) throw;
                throw Exception(error.Message + "\nУже записаны: " + replaced + ".");
            }
        }
    }

private:
    std::array<std::unique_ptr<TSaveFile>, kOutputFileCount> files_;
};

// The chart's drawing and format, made ready before the run; none without --plot.
struct ChartOutput {
    ChartRenderer render;
    ChartFormat format{};
};

ChartOutput PrepareChart(const CliArguments& args, const ChartRendererLoader& loadChartRenderer)
{
    const auto& file = args.File(OutputFile::Plot);
    if (!file) return {};
    const auto format = ChartFormatOf(*file);
    if (!format)
        throw Exception("Не понимаю, в каком формате рисовать " + QuoteForMessage(*file) +
                        ": имя файла графика должно оканчиваться на .png или .svg.");
    return {loadChartRenderer(), *format};
}

// The proven verdicts of the run's root lines into --roots, the zeros of f into --all-roots.
void WriteVerdicts(const RunVerifier& verify, const std::vector<RootRecord>& lines, const CalculationInputs& inputs,
                   const OutputFiles& files)
{
    TSaveFile* const allRoots = files[OutputFile::AllRoots];
    const RunVerdicts verdicts = verify(lines, inputs, allRoots != nullptr);
    if (TSaveFile* roots = files[OutputFile::Roots]) WriteRootLines(*roots, lines, verdicts.lines);
    if (allRoots) WriteZeros(*allRoots, verdicts.zeros);
}

// The run, its verdicts and its files, committed only once all of them are whole. Everything that
// could refuse the chart or the files is checked before a long run. Raises Exception.
void RunAndCommit(const CliArguments& args, StreamReport& report, const ChartRendererLoader& loadChartRenderer,
                  const RunVerifierLoader& loadVerifier)
{
    const ChartOutput chart = PrepareChart(args, loadChartRenderer);
    const bool wantVerdicts = args.File(OutputFile::Roots) || args.File(OutputFile::AllRoots);
    const RunVerifier verify = wantVerdicts ? loadVerifier() : RunVerifier();
    OutputFiles files(args);

    PointsOutput points(files[OutputFile::Points], files[OutputFile::Plot] != nullptr);
    RootRecords roots;
    const CalculationInputs inputs = ParseInputs(args.inputs[0], args.inputs[1], args.inputs[2], args.inputs[3]);
    CalculationRun(inputs, report, points, wantVerdicts ? &roots : nullptr);
    if (wantVerdicts) WriteVerdicts(verify, roots.records, inputs, files);
    if (TSaveFile* plot = files[OutputFile::Plot]) plot->Write(chart.render(points.Points(), chart.format));
    report.Finish();
    files.Commit();
}

// Says what ended the run, after the report lines written so far.
int RunError(std::FILE* out, std::FILE* err, const std::string& message)
{
    std::fflush(out);
    PrintMessage(err, message);
    return kExitRunError;
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
    if (const auto problem = EnvironmentProblem(err)) return UsageError(err, *problem);
    if (const auto problem = DestinationProblem(args, out, err, bool(loadChartRenderer), bool(loadVerifier)))
        return UsageError(err, *problem);

    StreamReport report(out);
    try {
        RunAndCommit(args, report, loadChartRenderer, loadVerifier);
    } catch (const Exception& error) {
        return RunError(out, err, error.Message);
    } catch (const std::bad_alloc&) {
        return RunError(out, err, "недостаточно памяти для расчёта.");
    }
    return 0;
}
