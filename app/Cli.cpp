#include "app/Cli.h"

#include "core/EvaluateBlock.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "generated/Version.h"
#include "os/SaveFile.h"
#include "os/SystemError.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <variant>

namespace {

constexpr int kExitRunError = 1;
constexpr int kExitUsage = 2;

const char* const kProgram = "rootfinder-cli";

const char* const kUsage =
    "Использование: rootfinder-cli [ПАРАМЕТР]... A B H EPS\n"
    "\n"
    "Находит корни функции f(x) = e^x / x^3 - sin(x)^3 - 2 на отрезке [A; B]:\n"
    "ищет смену знака с шагом H и уточняет каждый корень методом секущих\n"
    "с точностью EPS. Числа записываются с точкой или запятой; отрицательное\n"
    "число не принимается за параметр.\n"
    "В стандартный вывод пишется отчёт, строка за строкой.\n"
    "\n"
    "  --points ФАЙЛ  записать точки графика в CSV (x,y)\n"
    "  --plot ФАЙЛ    нарисовать график в PNG или SVG (по расширению файла)\n"
    "  --roots ФАЙЛ   записать в CSV каждую строку корня с доказанным вердиктом\n"
    "                 (n,root,f_root,updates,left,right,in_step,status,lower,upper,\n"
    "                 pole_in_step,distance):\n"
    "                 root — нуль f не дальше EPS от найденного значения;\n"
    "                 [lower; upper] — его самый узкий интервал в числах double,\n"
    "                 distance — оценка сверху расстояния до него,\n"
    "                 pole — шаг содержит полюс x = 0 и нуля ближе EPS нет,\n"
    "                 no-root — нуля ближе EPS нет, undecided — не доказано,\n"
    "                 not-finite — корень или f в нём не число;\n"
    "                 pole_in_step — шаг содержит полюс x = 0 (true или false)\n"
    "  --all-roots ФАЙЛ  записать в CSV все нули f на отрезке, каждый в доказанном\n"
    "                 интервале уже EPS (а где EPS меньше шага чисел double — между\n"
    "                 двумя соседними) (lower,upper,status,lines); lines — номера\n"
    "                 строк отчёта не дальше EPS от нуля, пусто — сканирование\n"
    "                 его пропустило\n"
    "  -h, --help     показать эту справку\n"
    "  --version      показать версию\n"
    "  --             дальше только числа A B H EPS\n"
    "Значение можно писать и через «=»: --points=ФАЙЛ.\n"
    "\n"
    "Файлы проверяются до расчёта и появляются (или заменяются, сохраняя права\n"
    "доступа) только после успешного расчёта и записи отчёта. Если после замены\n"
    "одних файлов не удалось заменить другой, сообщение называет уже заменённые.\n"
    "Файл, в который перенаправлен стандартный вывод или поток ошибок или из\n"
    "которого читает стандартный ввод, не принимается; устройство или канал\n"
    "(/dev/null) записывается на месте. «-» не принимается: отчёт и так идёт\n"
    "в стандартный вывод; файл с именем «-» назовите «./-».\n"
    "\n"
    "Код выхода: 0 — расчёт завершён; 1 — ошибка прервала расчёт или не удалось\n"
    "записать отчёт или файл; 2 — неверные параметры (неизвестный или повторённый\n"
    "параметр, нет имени файла, один файл назван дважды, файл стандартного\n"
    "потока или «-», не четыре числа, неизвестное значение ROOTFINDER_SIMD).\n";

struct Arguments {
    enum class Action { Run, Help, Version } action = Action::Run;
    std::array<std::string_view, 4> inputs; // A, B, H, EPS
    std::optional<std::string> pointsFile, plotFile, rootsFile, allRootsFile;
};

struct FileOption {
    std::string_view name;
    std::optional<std::string> Arguments::*file;
};

const FileOption kFileOptions[] = {
    {"--points", &Arguments::pointsFile},
    {"--plot", &Arguments::plotFile},
    {"--roots", &Arguments::rootsFile},
    {"--all-roots", &Arguments::allRootsFile},
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

// A negative number is a value, never an option.
bool IsOption(std::string_view argument)
{
    return argument.size() > 1 && argument.front() == '-' && !ConvertsToNumber(argument);
}

// Returns the arguments, or an explanation of what is wrong with them. Options are read from
// left to right; --help and --version act where they stand.
std::variant<Arguments, std::string> ParseArguments(const std::vector<std::string_view>& arguments)
{
    Arguments parsed;
    std::size_t positional = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || !IsOption(argument)) {
            if (positional == parsed.inputs.size()) return "лишний аргумент " + QuoteForMessage(argument);
            parsed.inputs[positional++] = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = argument.starts_with("--") ? argument.find('=') : std::string_view::npos;
        const std::string_view name = argument.substr(0, equals);
        if (name == "-h" || name == "--help" || name == "--version") {
            if (equals != std::string_view::npos) return "параметр " + std::string(name) + " не принимает значения";
            parsed.action = name == "--version" ? Arguments::Action::Version : Arguments::Action::Help;
            return parsed;
        }
        const auto option = std::find_if(std::begin(kFileOptions), std::end(kFileOptions),
                                         [&](const FileOption& o) { return o.name == name; });
        if (option == std::end(kFileOptions)) return "неизвестный параметр " + QuoteForMessage(argument);
        std::string_view value;
        if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else {
            if (i + 1 == arguments.size()) return "после " + std::string(name) + " нужно имя файла";
            value = arguments[++i];
        }
        if (value.empty()) return "после " + std::string(name) + " нужно имя файла, а не пустая строка";
        // The report already goes to stdout, so "-" cannot mean it here.
        if (value == "-")
            return "после " + std::string(name) + " «-» не значит стандартный вывод: туда идёт отчёт; файл с именем «-» "
                                                  "назовите «./-»";
        auto& file = parsed.*(option->file);
        if (file) return std::string(name) + " задан дважды";
        file = std::string(value);
    }
    if (positional < parsed.inputs.size()) return "нужны четыре числа: A B H EPS";
    return parsed;
}

// The shortest text that reads back to the same double; "inf", "-inf" and "nan" otherwise.
char* WriteNumber(char* at, double value)
{
    if (std::isnan(value)) return std::copy_n("nan", 3, at);
    return std::to_chars(at, at + 32, value).ptr;
}

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

// Writes the points as CSV and keeps them for the chart when one is wanted.
class PointsOutput final : public PlotSink {
public:
    PointsOutput(TSaveFile* csv, bool keepPoints) : csv_(csv), keep_(keepPoints)
    {
        if (csv_) csv_->Write("x,y\n");
    }

    void Clear() override { kept_.clear(); }
    void Reserve(std::size_t points) override
    {
        if (keep_) kept_.reserve(points);
    }

    void Add(PlotPoint point) override
    {
        if (keep_) kept_.push_back(point);
        if (!csv_) return;
        char line[80];
        char* end = WriteNumber(line, point.x);
        *end++ = ',';
        end = WriteNumber(end, point.y);
        *end++ = '\n';
        csv_->Write(std::string_view(line, static_cast<std::size_t>(end - line)));
    }

    void AddBlock(const double* xs, const double* ys, std::size_t count) override
    {
        if (keep_ || csv_) PlotSink::AddBlock(xs, ys, count); // a report-only run drops its points
    }

    const std::vector<PlotPoint>& Points() const { return kept_; }

private:
    TSaveFile* csv_;
    bool keep_;
    std::vector<PlotPoint> kept_;
};

void WriteLine(TSaveFile& csv, const char* begin, const char* end)
{
    csv.Write(std::string_view(begin, static_cast<std::size_t>(end - begin)));
}

char* WriteText(char* at, const char* text) { return std::copy_n(text, std::strlen(text), at); }

// A bound (an enclosure's end, a distance), empty where there is none.
char* WriteBound(char* at, double value) { return std::isnan(value) ? at : WriteNumber(at, value); }

// n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance
void WriteRootLines(TSaveFile& csv, const std::vector<RootRecord>& records, const std::vector<LineVerdict>& verdicts)
{
    csv.Write("n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance\n");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RootRecord& r = records[i];
        const LineVerdict& v = verdicts[i];
        char line[320];
        char* end = std::to_chars(line, line + 24, r.number).ptr;
        for (double value : {r.root, r.fRoot}) {
            *end++ = ',';
            end = WriteNumber(end, value);
        }
        *end++ = ',';
        end = std::to_chars(end, end + 16, r.updates).ptr;
        for (double value : {r.left, r.right}) {
            *end++ = ',';
            end = WriteNumber(end, value);
        }
        *end++ = ',';
        end = WriteText(end, v.inStep ? "true" : "false");
        *end++ = ',';
        end = WriteText(end, VerdictName(v.verdict));
        *end++ = ',';
        end = WriteBound(end, v.lower);
        *end++ = ',';
        end = WriteBound(end, v.upper);
        *end++ = ',';
        end = WriteText(end, v.poleInStep ? "true" : "false");
        *end++ = ',';
        end = WriteBound(end, v.distance);
        *end++ = '\n';
        WriteLine(csv, line, end);
    }
}

// lower,upper,status,lines: every zero of f on the interval, with the root lines that found it.
void WriteZeros(TSaveFile& csv, const std::vector<RunZero>& zeros)
{
    csv.Write("lower,upper,status,lines\n");
    for (const RunZero& zero : zeros) {
        char line[128];
        char* end = WriteNumber(line, zero.enclosure.lower);
        *end++ = ',';
        end = WriteNumber(end, zero.enclosure.upper);
        *end++ = ',';
        end = WriteText(end, zero.enclosure.status == EnclosureStatus::Root ? "root" : "undecided");
        *end++ = ',';
        WriteLine(csv, line, end);
        std::string numbers;
        for (long long number : zero.lines) {
            if (!numbers.empty()) numbers += ' ';
            numbers += std::to_string(number);
        }
        csv.Write(numbers + "\n");
    }
}

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

// The files named on the command line, each with the option that names it.
std::vector<std::pair<std::string_view, const std::string*>> OutputFiles(const Arguments& args)
{
    std::vector<std::pair<std::string_view, const std::string*>> files;
    for (const FileOption& option : kFileOptions)
        if (const auto& file = args.*(option.file)) files.emplace_back(option.name, &*file);
    return files;
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
    auto parsed = ParseArguments(arguments);
    if (auto* problem = std::get_if<std::string>(&parsed)) return UsageError(err, *problem);
    const Arguments& args = std::get<Arguments>(parsed);
    if (args.action == Arguments::Action::Help) return PrintToStdout(out, err, kUsage);
    if (args.action == Arguments::Action::Version)
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
    const auto files = OutputFiles(args);
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
