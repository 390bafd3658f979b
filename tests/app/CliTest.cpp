// The command line: CliMain in-process on tmpfile() streams, and the real executable for its
// exit status.
#include "ReadBack.h"
#include "Cli.h"

#include "CalculationRun.h"
#include "Conversions.h"
#include "EvaluateBlock.h"
#include "Exception.h"
#include "SaveFile.h"
#include "core/RunRecorder.h"
#include "framework/ScopedLocale.h"

#include <gtest/gtest.h>

#include <unistd.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <chrono>
#include <csignal>
#include <thread>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef ROOTFINDER_CLI_PATH
#error "ROOTFINDER_CLI_PATH must name the rootfinder-cli executable"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitRunError = 1;
constexpr int kExitUsage = 2;
const std::string kUsageStart = "Использование: rootfinder-cli";

const std::string kTypicalReport = kFunctionHeader + "\n" + kRootsHeader + "\n" + "1-й = 1.019122\n" + "2-й = 4.595297\n";

struct CliResult {
    int status;
    std::string out, err;
};

// The proofs in this process, where the executable loads them from its module. A build without
// them gets verdicts that decide nothing, so the tests of the files themselves still run.
RunVerifier InProcessVerifier()
{
#ifdef ROOTFINDER_HAVE_VERIFY
    return VerifyRun;
#else
    return [](const std::vector<RootRecord>& lines, const CalculationInputs&, bool) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return RunVerdicts{std::vector<LineVerdict>(lines.size(), {Verdict::Undecided, true, none, none}), {}};
    };
#endif
}

CliResult RunCliMain(const std::vector<std::string>& arguments, const ChartRendererLoader& chartLoader = {})
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) throw std::runtime_error("tmpfile() failed");
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    const int status = CliMain(views, out, err, chartLoader, InProcessVerifier);
    return {status, ReadAndClose(out), ReadAndClose(err)};
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start)); // an unterminated last line
    return lines;
}

std::string Shortest(double value)
{
    if (std::isnan(value)) return "nan";
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// A file name in the temporary directory, unique to this process and test; removed at the end.
class TempPath {
public:
    explicit TempPath(const std::string& suffix)
    {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("rootfinder-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path_ = fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()) + suffix);
        fs::remove(path_);
    }
    ~TempPath() { fs::remove(path_); }
    const fs::path& Path() const { return path_; }
    std::string String() const { return path_.string(); }

private:
    fs::path path_;
};

// A directory of its own for a test that checks what else appears beside its files.
class TempDir {
public:
    TempDir() : path_(TempPath("-dir").Path()) { fs::create_directory(path_); }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    // The names in the directory, sorted: a leftover temporary file shows up here.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

// Every line on stderr begins with the program's name.
void ExpectEveryLinePrefixed(const std::string& err)
{
    for (const auto& line : SplitLines(err)) EXPECT_EQ(line.rfind("rootfinder-cli: ", 0), 0u) << err;
}

// ---------------------------------------------------------------------------------------
// A complete run: exactly the report lines on stdout, nothing on stderr, status 0

struct CompleteRun {
    std::vector<std::string> arguments;
    std::string out;
};

void PrintTo(const CompleteRun& c, std::ostream* os) { *os << testing::PrintToString(c.arguments); }

class CliCompleteRun : public testing::TestWithParam<CompleteRun> {};

TEST_P(CliCompleteRun, WritesExactlyTheReportLinesAndExitsZero)
{
    const CliResult result = RunCliMain(GetParam().arguments);
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out, GetParam().out);
    EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliCompleteRun,
    testing::Values(CompleteRun{{"1", "5", "0.1", "0.0001"}, kTypicalReport},
                    CompleteRun{{"1", "5", "0,1", "0,0001"}, kTypicalReport},
                    // A text beginning with '-' that converts is a value, never an option.
                    CompleteRun{{"-1", "1", "0.1", "0.0001"},
                                kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 0.100000\n2-й = 1.019122\n"},
                    CompleteRun{{"--", "-1", "1", "0.1", "0.0001"},
                                kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 0.100000\n2-й = 1.019122\n"},
                    CompleteRun{{"1", "5", "--", "0.1", "0.0001"}, kTypicalReport},
                    CompleteRun{{"-3", "-1", "0.5", "1e-4"}, kFunctionHeader + "\n" + kRootsHeader + "\n" + kNoRoots + "\n"},
                    CompleteRun{{"-0,5", "-0.5", "0.25", "1e-4"},
                                kFunctionHeader + "\n" + kRootsHeader + "\n" + kNoRoots + "\n"},
                    CompleteRun{{"5", "1", "0.1", "0.0001"}, kFunctionHeader + "\n" + kRootsHeader + "\n" + kNoRoots + "\n"}));

TEST(CliReport, StdoutIsUtf8)
{
    const CliResult result = RunCliMain({"1", "5", "0.1", "0.0001"});
    // " Функция" in UTF-8.
    EXPECT_EQ(result.out.substr(0, 15), std::string(" \xD0\xA4\xD1\x83\xD0\xBD\xD0\xBA\xD1\x86\xD0\xB8\xD1\x8F", 15));
}

TEST(CliReport, UnderACommaLocaleTheRootsUseAComma)
{
    ScopedLocale comma(kCommaLocale.name);
    ASSERT_TRUE(comma.Ok());
    const CliResult result = RunCliMain({"1", "5", "0.1", "0,0001"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out, kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 1,019122\n2-й = 4,595297\n");
}

// ---------------------------------------------------------------------------------------
// Errors that end a run: lines so far stay on stdout, the message goes to stderr, status 1

struct RunError {
    std::vector<std::string> arguments;
    std::string out;
    std::string inMessage; // a piece of the message on stderr
};

void PrintTo(const RunError& e, std::ostream* os) { *os << testing::PrintToString(e.arguments); }

class CliRunError : public testing::TestWithParam<RunError> {};

TEST_P(CliRunError, KeepsTheLinesSoFarAndReportsTheMessageWithStatusOne)
{
    const CliResult result = RunCliMain(GetParam().arguments);
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_EQ(result.out, GetParam().out);
    EXPECT_NE(result.err.find(GetParam().inMessage), std::string::npos) << result.err;
    EXPECT_TRUE(HasCyrillic(result.err)) << result.err;
    EXPECT_EQ(result.err.find(kUsageStart), std::string::npos) << "a run error is not a usage error";
    EXPECT_EQ(result.err.back(), '\n');
    ExpectEveryLinePrefixed(result.err);
    EXPECT_LT(result.err.size(), 400u) << "an echoed input is cut";
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliRunError,
    testing::Values(RunError{{"abc", "5", "0.1", "0.0001"}, "", "«abc»"},
                    RunError{{"1", "5", "0.1", "1e-4x"}, "", "«1e-4x»"},
                    RunError{{"", "", "", ""}, "", "«»"},
                    RunError{{"1", "5", "1e400", "0.0001"}, "", "«1e400»"},
                    // The field is named; a long or unprintable input is cut and escaped.
                    RunError{{"1", "5", "0.1.", "0.0001"}, "", "Поле h: «0.1.»"},
                    RunError{{"1", "5", "0.1", std::string(100000, '7') + "x"}, "", "Поле EPS: «" + std::string(80, '7') + "…" + std::string(79, '7') + "x»"},
                    RunError{{"1", "g\xff\x1b[2J", "0.1", "0.0001"}, "", "Поле b: «g\\xFF\\x1B[2J»"},
                    RunError{{"-1e308", "1e308", "1e308", "1e-4"}, "", "a - h"},
                    RunError{{"1", "1e308", "1e308", "1e-4"}, "", "b + h"},
                    RunError{{"1", "5", "0", "0.0001"}, "", ""},
                    RunError{{"1", "5", "-0.1", "0.0001"}, "", ""},
                    RunError{{"1", "5", "0.1", "0"}, "", ""},
                    RunError{{"1e16", "1e16", "1", "0.0001"}, "", ""},
                    RunError{{"0", "1", "1e-8", "0.0001"}, "", ""},
                    // The refinement across the pole does not settle: the headers stay.
                    RunError{{"-0.5", "0", "0.9", "1e-20"}, kFunctionHeader + "\n" + kRootsHeader + "\n", "[-0.5; 0.4]"}));

// ---------------------------------------------------------------------------------------
// Wrong usage: the usage on stderr, nothing on stdout, status 2

class CliUsageError : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CliUsageError, PrintsTheUsageOnStderrWithStatusTwo)
{
    const CliResult result = RunCliMain(GetParam());
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(kUsageStart), std::string::npos) << result.err;
    ExpectEveryLinePrefixed(result.err);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliUsageError,
                         testing::Values(std::vector<std::string>{}, std::vector<std::string>{"1"},
                                         std::vector<std::string>{"1", "5", "0.1"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "7"},
                                         std::vector<std::string>{"--verbose", "1", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "-x"},
                                         std::vector<std::string>{"-inf", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"--help=yes"},
                                         std::vector<std::string>{"--points=", "1", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"--pointsx=a.csv", "1", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "--roots"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "--points"},
                                         std::vector<std::string>{"--points", "a.csv", "--points", "b.csv", "1", "5",
                                                                  "0.1", "0.0001"},
                                         std::vector<std::string>{"--points", "a.csv"}));

TEST(CliUsage, PlotIsRefusedWithoutAChartExporter)
{
    TempPath png(".png");
    const CliResult result = RunCliMain({"--plot", png.String(), "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("--plot"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(png.Path()));
}

TEST(CliUsage, HelpPrintsTheUsageOnStdoutWithStatusZero)
{
    for (const auto& arguments : {std::vector<std::string>{"--help"}, std::vector<std::string>{"-h"},
                                  std::vector<std::string>{"1", "5", "0.1", "0.0001", "--help"}}) {
        const CliResult result = RunCliMain(arguments);
        EXPECT_EQ(result.status, kExitOk);
        EXPECT_EQ(result.out.rfind(kUsageStart, 0), 0u) << result.out;
        EXPECT_NE(result.out.find("--points"), std::string::npos);
        EXPECT_EQ(result.out.back(), '\n');
        EXPECT_EQ(result.err, "");
    }
}

TEST(CliUsage, VersionPrintsTheProgramsVersion)
{
    const CliResult result = RunCliMain({"--version", "--bogus"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out, "rootfinder-cli 1.0.0.0\n");
    EXPECT_EQ(result.err, "");
}

#ifndef _WIN32
// System errors in words, each code read in its own domain: Windows' own codes are no errno values
// (ERROR_ACCESS_DENIED is 5, as EIO is).
TEST(CliMessages, SystemErrorsAreDescribedInRussianEachInItsOwnDomain)
{
    struct Case {
        std::error_code code;
        std::string text;
    };
    std::vector<Case> cases = {{std::make_error_code(std::errc::no_space_on_device), "на диске нет места"},
                               {std::make_error_code(std::errc::bad_file_descriptor), "поток закрыт или не открыт для записи"},
                               {std::error_code(12345, std::generic_category()), "системная ошибка 12345"}};
#ifdef _WIN32
    cases.push_back({std::error_code(5, std::system_category()), "нет прав на запись"});            // ERROR_ACCESS_DENIED
    cases.push_back({std::error_code(32, std::system_category()), "файл занят другой программой"}); // ERROR_SHARING_VIOLATION
#else
    cases.push_back({std::error_code(EIO, std::system_category()), "ошибка ввода-вывода"});
#endif
    for (const Case& c : cases) EXPECT_EQ(DescribeSystemError(c.code), c.text) << c.code.value();
}

TEST(CliUsage, AFailedWriteToStdoutIsReportedWithStatusOne)
{
    for (const auto& arguments : {std::vector<std::string>{"1", "5", "0.1", "0.0001"}, std::vector<std::string>{"--help"}}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        std::FILE* err = std::tmpfile();
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const int status = CliMain(views, full, err);
        std::fclose(full);
        const std::string message = ReadAndClose(err);
        EXPECT_EQ(status, kExitRunError) << message;
        EXPECT_NE(message.find("стандартный вывод"), std::string::npos) << message;
        ExpectEveryLinePrefixed(message);
    }
}
#endif

// ---------------------------------------------------------------------------------------
// --points FILE: CSV with the header x,y and the shortest round-trip numbers

TEST(CliPoints, WritesEveryPlotPointInTheShortestRoundTripForm)
{
    TempPath csv(".csv");
    const CliResult result = RunCliMain({"--points", csv.String(), "1", "5", "0.1", "0.0001"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kTypicalReport);

    const std::string text = ReadFile(csv.Path());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 1u + 43u);
    EXPECT_EQ(lines[0], "x,y");
    EXPECT_EQ(lines[1].rfind("0.9,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[43].rfind("5.099999999999999,", 0), 0u) << lines[43];

    RunRecorder run;
    CalculationRun("1", "5", "0.1", "0.0001", run.Report(), run.Plot());
    const auto points = run.Points();
    ASSERT_EQ(points.size(), 43u);
    for (std::size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(lines[1 + i], Shortest(points[i].x) + "," + Shortest(points[i].y)) << "point " << i;
}

struct NonFinitePoints {
    std::vector<std::string> arguments;
    std::string line; // a line the CSV must hold
};

void PrintTo(const NonFinitePoints& n, std::ostream* os) { *os << testing::PrintToString(n.arguments); }

class CliPointsNonFinite : public testing::TestWithParam<NonFinitePoints> {};

TEST_P(CliPointsNonFinite, WritesInfMinusInfAndNan)
{
    TempPath csv(".csv");
    std::vector<std::string> arguments{"--points", csv.String()};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const CliResult result = RunCliMain(arguments);
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const auto lines = SplitLines(ReadFile(csv.Path()));
    EXPECT_NE(std::find(lines.begin(), lines.end(), GetParam().line), lines.end())
        << testing::PrintToString(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliPointsNonFinite,
    testing::Values(NonFinitePoints{{"-1", "1", "0.5", "0.0001"}, "0,inf"},          // the pole at 0
                    NonFinitePoints{{"-1e-110", "-1e-110", "1e-111", "1"}, "-1e-110,-inf"}, // the cube underflows
                    NonFinitePoints{{"1e200", "1e200", "1e185", "1"}, "1e+200,nan"}));      // inf / inf

TEST(CliPoints, UnderACommaLocaleTheCsvKeepsThePoint)
{
    ScopedLocale comma(kCommaLocale.name);
    ASSERT_TRUE(comma.Ok());
    TempPath csv(".csv");
    const CliResult result = RunCliMain({"--points", csv.String(), "1", "5", "0,1", "0,0001"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const auto lines = SplitLines(ReadFile(csv.Path()));
    ASSERT_EQ(lines.size(), 44u);
    EXPECT_EQ(lines[1].rfind("0.9,", 0), 0u) << lines[1];
    for (const auto& line : lines) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 1) << line;
}

TEST(CliPoints, ARunRefusedAtItsInputsLeavesAnExistingFileAlone)
{
    TempPath csv(".csv");
    { std::ofstream(csv.Path(), std::ios::binary) << "keep\n"; }
    const CliResult result = RunCliMain({"--points", csv.String(), "1", "x", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(csv.Path()), "keep\n");

    const CliResult guarded = RunCliMain({"--points", csv.String(), "1", "5", "0", "0.0001"});
    EXPECT_EQ(guarded.status, kExitRunError);
    EXPECT_EQ(ReadFile(csv.Path()), "keep\n");
}

TEST(CliPoints, ARunRefusedAtItsInputsCreatesNoFile)
{
    TempPath csv(".csv");
    const CliResult result = RunCliMain({"--points", csv.String(), "", "", "", ""});
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_FALSE(fs::exists(csv.Path()));
}

// ---------------------------------------------------------------------------------------
// The chart hook (--plot) as CliMain offers it: loaded before the run, drawing after it

struct ChartCalls {
    int loads = 0;
    std::vector<std::vector<PlotPoint>> drawn;
    std::vector<ChartFormat> formats;
};

// A loader whose renderer records its calls and returns the format's name as the image.
ChartRendererLoader RecordingChart(ChartCalls& calls)
{
    return [&calls] {
        ++calls.loads;
        return [&calls](const std::vector<PlotPoint>& points, ChartFormat format) {
            calls.drawn.push_back(points);
            calls.formats.push_back(format);
            return std::string(format == ChartFormat::Svg ? "svg" : "png");
        };
    };
}

TEST(CliPlotHook, TheRendererGetsTheRunsPointsAndItsImageIsWrittenToTheFile)
{
    TempDir dir;
    ChartCalls calls;
    const CliResult result = RunCliMain({"--plot", dir / "chart.SVG", "1", "5", "0.1", "0.0001"}, RecordingChart(calls));
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kTypicalReport);
    EXPECT_EQ(calls.loads, 1);
    ASSERT_EQ(calls.drawn.size(), 1u);
    EXPECT_EQ(calls.formats, std::vector<ChartFormat>{ChartFormat::Svg});
    ASSERT_EQ(calls.drawn[0].size(), 43u);
    EXPECT_EQ(calls.drawn[0].front().x, 0.9);
    EXPECT_EQ(calls.drawn[0].back().x, 5.099999999999999);
    EXPECT_EQ(ReadFile(dir / "chart.SVG"), "svg");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"chart.SVG"});
}

TEST(CliPlotHook, ARendererOrLoaderErrorEndsTheRunWithStatusOneAndNoFile)
{
    TempDir dir;
    const ChartRendererLoader failingRenderer = [] {
        return [](const std::vector<PlotPoint>&, ChartFormat) -> std::string { throw Exception("Не удалось нарисовать график."); };
    };
    const ChartRendererLoader failingLoader = []() -> ChartRenderer { throw Exception("Не найден модуль."); };
    const CliResult drawing = RunCliMain({"--plot", dir / "chart.png", "1", "5", "0.1", "0.0001"}, failingRenderer);
    EXPECT_EQ(drawing.status, kExitRunError);
    EXPECT_EQ(drawing.out, kTypicalReport);
    EXPECT_NE(drawing.err.find("Не удалось нарисовать график."), std::string::npos) << drawing.err;

    const CliResult loading = RunCliMain({"--plot", dir / "chart.png", "1", "5", "0.1", "0.0001"}, failingLoader);
    EXPECT_EQ(loading.status, kExitRunError);
    EXPECT_EQ(loading.out, "") << "refused before the run";
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

TEST(CliPlotHook, AChartFileOfNeitherFormatIsRefusedBeforeTheRun)
{
    ChartCalls calls;
    for (const char* file : {"chart.bmp", "chart", "png", "chart.png/x"}) {
        const CliResult result = RunCliMain({"--plot", file, "1", "5", "0.1", "0.0001"}, RecordingChart(calls));
        EXPECT_EQ(result.status, kExitRunError) << file;
        EXPECT_EQ(result.out, "") << file;
        EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
    }
    EXPECT_EQ(calls.loads, 0);
}

// ---------------------------------------------------------------------------------------
// Output files appear whole or not at all; an existing file is replaced only by a complete run

const std::vector<std::string> kAllFiles = {"chart.png", "points.csv", "roots.csv"};

std::vector<std::string> WithAllFiles(const TempDir& dir, std::vector<std::string> inputs)
{
    std::vector<std::string> arguments{"--points", dir / "points.csv", "--roots=" + dir / "roots.csv", "--plot",
                                       dir / "chart.png"};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());
    return arguments;
}

TEST(CliOutputFiles, AFailedRunLeavesExistingFilesUntouchedAndNoTemporaries)
{
    for (const std::vector<std::string>& inputs : {std::vector<std::string>{"1", "x", "0.1", "0.0001"},
                                                  std::vector<std::string>{"-0.5", "0", "0.9", "1e-20"}}) {
        TempDir dir;
        for (const auto& name : kAllFiles) std::ofstream(dir / name, std::ios::binary) << "keep\n";
        ChartCalls calls;
        const CliResult result = RunCliMain(WithAllFiles(dir, inputs), RecordingChart(calls));
        EXPECT_EQ(result.status, kExitRunError) << testing::PrintToString(inputs);
        EXPECT_EQ(dir.Entries(), kAllFiles);
        for (const auto& name : kAllFiles) EXPECT_EQ(ReadFile(dir / name), "keep\n") << name;
    }
}

TEST(CliOutputFiles, ACompleteRunReplacesExistingFiles)
{
    TempDir dir;
    for (const auto& name : kAllFiles) std::ofstream(dir / name, std::ios::binary) << "old\n";
    ChartCalls calls;
    const CliResult result = RunCliMain(WithAllFiles(dir, {"1", "5", "0.1", "0.0001"}), RecordingChart(calls));
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(dir.Entries(), kAllFiles);
    EXPECT_EQ(ReadFile(dir / "chart.png"), "png");
    EXPECT_EQ(SplitLines(ReadFile(dir / "points.csv")).size(), 44u);
    EXPECT_EQ(SplitLines(ReadFile(dir / "roots.csv")).size(), 3u);
}

TEST(CliOutputFiles, AnUnwritableDestinationIsRefusedBeforeTheRun)
{
    TempDir dir;
    std::ofstream(dir / "file", std::ios::binary) << "a file, not a directory\n";
    for (const std::string& path : {std::string("/nonexistent-rootfinder-directory/points.csv"), dir / "file/points.csv",
                                    dir.operator/("")}) {
        const CliResult result = RunCliMain({"--points", path, "1", "5", "0.1", "0.0001"});
        EXPECT_EQ(result.status, kExitRunError) << path;
        EXPECT_EQ(result.out, "") << "nothing is computed before the files are checked";
        EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
    }
}

TEST(CliOutputFiles, TwoOptionsNamingTheSameFileAreRefused)
{
    TempDir dir;
    std::ofstream(dir / "existing.png", std::ios::binary) << "keep\n";
    std::vector<std::vector<std::string>> cases = {
        {"--points", dir / "a.png", "--plot", dir / "./a.png"},
        {"--points", "same.csv", "--roots", "./same.csv"},
        {"--points", dir / "x.csv", "--roots", dir / "../" + fs::path(dir / "").parent_path().filename().string() + "/x.csv"}};
    std::vector<std::string> entries{"existing.png"};
    std::error_code noLinks; // Windows makes symbolic links only with a privilege
    fs::create_symlink(dir / "existing.png", dir / "link.png", noLinks);
    if (!noLinks) {
        cases.push_back({"--roots", dir / "existing.png", "--plot", dir / "link.png"});
        entries.push_back("link.png");
    }
    ChartCalls calls;
    for (const auto& arguments : cases) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"1", "5", "0.1", "0.0001"});
        const CliResult result = RunCliMain(all, RecordingChart(calls));
        EXPECT_EQ(result.status, kExitUsage) << testing::PrintToString(arguments);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(dir.Entries(), entries);
    EXPECT_EQ(ReadFile(dir / "existing.png"), "keep\n");
}

#ifndef _WIN32 // file names are bytes on POSIX systems, UTF-16 on Windows
TEST(CliOutputFiles, PathsAreUsedByteForByte)
{
    TempDir dir;
    ChartCalls calls;
    const std::string chart = dir / "g\xff.png", points = dir / "p\xfe\x01.csv";
    const CliResult result = RunCliMain({"--plot", chart, "--points", points, "1", "5", "0.1", "0.0001"}, RecordingChart(calls));
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"g\xff.png", "p\xfe\x01.csv"}));
}
#endif

#ifndef _WIN32
TEST(CliOutputFiles, ADeviceIsWrittenInPlaceNotReplaced)
{
    const CliResult result = RunCliMain({"--points", "/dev/null", "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const CliResult full = RunCliMain({"--points", "/dev/full", "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(full.status, kExitRunError);
    EXPECT_NE(full.err.find("/dev/full"), std::string::npos) << full.err;
}
#endif

// ---------------------------------------------------------------------------------------
// --roots FILE: what lies behind each root line, and how far it can be trusted

#ifdef ROOTFINDER_HAVE_VERIFY
struct RootsCase {
    std::vector<std::string> inputs;
    std::vector<std::string> verdicts; // in_step,status for each root line, in order
    std::vector<std::string> zeros;    // status,lines for each zero on [a, b], in order
};

void PrintTo(const RootsCase& r, std::ostream* os) { *os << testing::PrintToString(r.inputs); }

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line + ",");
    for (std::string field; std::getline(stream, field, ',');) fields.push_back(field);
    return fields;
}

class CliRoots : public testing::TestWithParam<RootsCase> {};

TEST_P(CliRoots, WritesTheVerdictOfEveryRootLineAndEveryZero)
{
    TempPath csv(".csv"), all(".all.csv");
    std::vector<std::string> arguments{"--roots", csv.String(), "--all-roots", all.String()};
    arguments.insert(arguments.end(), GetParam().inputs.begin(), GetParam().inputs.end());
    const CliResult result = RunCliMain(arguments);
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const auto rootLines = SplitLines(result.out);
    const auto lines = SplitLines(ReadFile(csv.Path()));
    ASSERT_EQ(lines.size(), 1 + GetParam().verdicts.size());
    EXPECT_EQ(lines[0], "n,root,f_root,updates,left,right,in_step,status,lower,upper");
    for (std::size_t i = 0; i < GetParam().verdicts.size(); ++i) {
        const auto fields = Fields(lines[1 + i]);
        ASSERT_EQ(fields.size(), 10u) << lines[1 + i];
        EXPECT_EQ(fields[0], std::to_string(i + 1));
        // The root is the one its report line shows, in the shortest round-trip form.
        const double root = std::stod(fields[1]);
        EXPECT_EQ(Shortest(root), fields[1]);
        EXPECT_EQ(rootLines[2 + i], fields[0] + "-й = " + FloatToStrF(root, ffFixed, 8, 6));
        EXPECT_EQ(fields[6] + "," + fields[7], GetParam().verdicts[i]) << lines[1 + i];
        // A root's enclosure reads back to the same doubles; other verdicts have none.
        if (fields[7] == "root") {
            EXPECT_EQ(Shortest(std::stod(fields[8])), fields[8]);
            EXPECT_LT(std::stod(fields[8]), std::stod(fields[9]));
        } else {
            EXPECT_EQ(fields[8] + fields[9], "");
        }
    }
    const auto zeros = SplitLines(ReadFile(all.Path()));
    ASSERT_EQ(zeros.size(), 1 + GetParam().zeros.size());
    EXPECT_EQ(zeros[0], "lower,upper,status,lines");
    for (std::size_t i = 0; i < GetParam().zeros.size(); ++i) {
        const auto fields = Fields(zeros[1 + i]);
        ASSERT_EQ(fields.size(), 4u) << zeros[1 + i];
        EXPECT_EQ(fields[2] + "," + fields[3], GetParam().zeros[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliRoots,
    // The verdicts themselves are checked against 40-digit zeros by tests/verdicts; here, the
    // files' form: a root that left its step, a missed zero, and a run with no root line.
    testing::Values(RootsCase{{"1", "10", "0.5", "0.0001"},
                              {"true,root", "false,root", "true,root", "true,root"},
                              {"root,1", "root,", "root,3", "root,2 4"}},
                    RootsCase{{"-3", "-1", "0.5", "1e-4"}, {}, {}}));
#endif

TEST(CliRoots, WithoutTheProofsBothFilesAreRefusedAsWrongUsage)
{
    for (const char* option : {"--roots", "--all-roots"}) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const std::vector<std::string_view> arguments{option, "r.csv", "1", "5", "0.1", "0.0001"};
        EXPECT_EQ(CliMain(arguments, out, err), kExitUsage) << option;
        EXPECT_EQ(ReadAndClose(out), "");
        EXPECT_NE(ReadAndClose(err).find("(--roots, --all-roots)"), std::string::npos);
    }
}

// ---------------------------------------------------------------------------------------
// The real executable, started through a POSIX shell (on Windows the output comparison of
// scripts/test-platforms covers it)
#ifndef _WIN32

#ifndef ROOTFINDER_CLI_LAUNCHER
#define ROOTFINDER_CLI_LAUNCHER "" // an emulator, when the tests run under one
#endif

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

CliResult RunExecutable(const std::vector<std::string>& arguments, const std::string& locale = "C")
{
    TempPath out(".out"), err(".err");
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string&&.
    std::string command = "LC_ALL=";
    command += ShellQuote(locale);
    command += ' ';
    command += ROOTFINDER_CLI_LAUNCHER;
    command += ShellQuote(ROOTFINDER_CLI_PATH);
    for (const auto& argument : arguments) {
        command += ' ';
        command += ShellQuote(argument);
    }
    command += " </dev/null >";
    command += ShellQuote(out.String());
    command += " 2>";
    command += ShellQuote(err.String());
    const int wait = std::system(command.c_str());
    if (wait == -1 || !WIFEXITED(wait)) return {-1, ReadFile(out.Path()), ReadFile(err.Path())};
    return {WEXITSTATUS(wait), ReadFile(out.Path()), ReadFile(err.Path())};
}

TEST(CliExecutable, ACompleteRunExitsZero)
{
    const CliResult result = RunExecutable({"1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kTypicalReport);
    EXPECT_EQ(result.err, "");
}

TEST(CliExecutable, NegativeNumbersArePositional)
{
    const CliResult result = RunExecutable({"-1", "1", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 0.100000\n2-й = 1.019122\n");
}

TEST(CliExecutable, TakesTheSeparatorFromTheEnvironmentsLocale)
{
    const CliResult result = RunExecutable({"1", "5", "0.1", "0,0001"}, kCommaLocale.name);
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 1,019122\n2-й = 4,595297\n");
}

TEST(CliExecutable, AnErrorEndingTheRunExitsOne)
{
    const CliResult conversion = RunExecutable({"1", "five", "0.1", "0.0001"});
    EXPECT_EQ(conversion.status, kExitRunError);
    EXPECT_EQ(conversion.out, "");
    EXPECT_NE(conversion.err.find("«five»"), std::string::npos) << conversion.err;

    const CliResult cap = RunExecutable({"-0.5", "0", "0.9", "1e-20"});
    EXPECT_EQ(cap.status, kExitRunError);
    EXPECT_EQ(cap.out, kFunctionHeader + "\n" + kRootsHeader + "\n");
    EXPECT_NE(cap.err.find("[-0.5; 0.4]"), std::string::npos) << cap.err;
}

TEST(CliExecutable, WrongUsageExitsTwo)
{
    for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"1", "5", "0.1"},
                                  std::vector<std::string>{"--bogus", "1", "5", "0.1", "0.0001"}}) {
        const CliResult result = RunExecutable(arguments);
        EXPECT_EQ(result.status, kExitUsage) << testing::PrintToString(arguments);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(kUsageStart), std::string::npos) << result.err;
    }
}

TEST(CliExecutable, HelpExitsZero)
{
    const CliResult result = RunExecutable({"--help"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out.rfind(kUsageStart, 0), 0u) << result.out;
    EXPECT_EQ(result.err, "");
}

TEST(CliExecutable, WritesThePointsFile)
{
    TempPath csv(".csv");
    const CliResult result = RunExecutable({"--points", csv.String(), "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    const auto lines = SplitLines(ReadFile(csv.Path()));
    ASSERT_EQ(lines.size(), 44u);
    EXPECT_EQ(lines[0], "x,y");
}

#ifndef _WIN32
TEST(CliExecutable, LinksNoWindowToolkit)
{
    std::FILE* pipe = popen(("readelf -d " + ShellQuote(ROOTFINDER_CLI_PATH) + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string dynamic;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) dynamic.append(buffer, n);
    if (pclose(pipe) != 0 || dynamic.empty()) GTEST_SKIP() << "readelf is not available";
    ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos) << dynamic;
    for (const auto& line : SplitLines(dynamic)) {
        if (line.find("(NEEDED)") == std::string::npos) continue;
        EXPECT_EQ(line.find("Qt"), std::string::npos) << line;
        EXPECT_EQ(line.find("qcustomplot"), std::string::npos) << line;
    }
}

// Starts the executable with stdout to /dev/null and stderr to `errFile`, the signals at their
// default actions, and, when `fileSizeLimit` is given, that limit on the files it writes.
pid_t StartExecutable(const std::vector<std::string>& arguments, const std::string& errFile, rlim_t fileSizeLimit = 0)
{
    std::vector<std::string> all{ROOTFINDER_CLI_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open("/dev/null", O_WRONLY);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) _exit(126);
        for (int signal : {SIGINT, SIGTERM, SIGQUIT, SIGXFSZ}) std::signal(signal, SIG_DFL);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        if (fileSizeLimit) {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

bool HasTemporary(const TempDir& dir)
{
    const auto entries = dir.Entries();
    return std::any_of(entries.begin(), entries.end(), [](const std::string& name) { return name.rfind(".rootfinder-", 0) == 0; });
}

TEST(CliExecutable, ASignalDuringTheRunLeavesNoPartialFile)
{
    if (*ROOTFINDER_CLI_LAUNCHER) GTEST_SKIP() << "started directly, not through the emulator it needs";
    struct Case {
        int signal;
        bool existing; // a points file there before the run
    };
    for (const Case c : {Case{SIGINT, false}, Case{SIGTERM, true}, Case{SIGQUIT, true}}) {
        SCOPED_TRACE(c.signal);
        TempDir dir;
        TempPath err(".err");
        if (c.existing) std::ofstream(dir / "points.csv", std::ios::binary) << "keep\n";
        // 1e7 points: a run of seconds.
#ifdef ROOTFINDER_HAVE_VERIFY
        const pid_t pid = StartExecutable({"--points", dir / "points.csv", "--roots", dir / "roots.csv", "1", "11", "1e-6", "1e-4"},
                                          err.String());
#else
        const pid_t pid = StartExecutable({"--points", dir / "points.csv", "1", "11", "1e-6", "1e-4"}, err.String());
#endif
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(HasTemporary(dir)) << "the run is writing its files";
        kill(pid, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << "status " << status;
        EXPECT_EQ(dir.Entries(), c.existing ? std::vector<std::string>{"points.csv"} : std::vector<std::string>{});
        if (c.existing) {
            EXPECT_EQ(ReadFile(dir / "points.csv"), "keep\n");
        }
    }
}

TEST(CliExecutable, AFailedWriteLeavesTheExistingFileAndNoTemporary)
{
    if (*ROOTFINDER_CLI_LAUNCHER) GTEST_SKIP() << "started directly, not through the emulator it needs";
    TempDir dir;
    TempPath err(".err");
    std::ofstream(dir / "points.csv", std::ios::binary) << "keep\n";
    // 4003 points take about 150 kB; the file may grow to 64 kB, and SIGXFSZ is at its default.
    const pid_t pid = StartExecutable({"--points", dir / "points.csv", "1", "5", "0.001", "1e-4"}, err.String(), 64 * 1024);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitRunError);
    const std::string message = ReadFile(err.Path());
    EXPECT_NE(message.find("points.csv"), std::string::npos) << message;
    EXPECT_NE(message.find("файл слишком велик"), std::string::npos) << "SIGXFSZ is a failed write: " << message;
    ExpectEveryLinePrefixed(message);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"points.csv"});
    EXPECT_EQ(ReadFile(dir / "points.csv"), "keep\n");
}

// ---------------------------------------------------------------------------------------
// Standard streams and destinations that are (or name) them

// Runs the executable through the shell with `redirections` (e.g. ">&-", ">> log").
int RunWithRedirections(const std::vector<std::string>& arguments, const std::string& redirections,
                        const std::string& environment = "")
{
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string&&.
    std::string command = environment;
    command += ' ';
    command += ROOTFINDER_CLI_LAUNCHER;
    command += ShellQuote(ROOTFINDER_CLI_PATH);
    for (const auto& argument : arguments) {
        command += ' ';
        command += ShellQuote(argument);
    }
    const int wait = std::system((command + " " + redirections).c_str());
    return wait != -1 && WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
}

TEST(CliStandardStreams, AClosedStreamTakesNoFileAndAClosedStdoutIsAFailedWrite)
{
    struct Case {
        std::string closed;
        int status;
    };
    for (const Case& c : {Case{"<&-", kExitOk}, Case{"2>&-", kExitOk}, Case{">&-", kExitRunError}, Case{"<&- >&- 2>&-", kExitRunError}}) {
        SCOPED_TRACE(c.closed);
        TempDir dir;
        std::ofstream(dir / "points.csv", std::ios::binary) << "keep\n";
        const std::string redirections = c.closed.find("2>") == std::string::npos ? c.closed + " 2>" + ShellQuote(dir / "err") : c.closed;
        // The points file, and the roots file where this build proves verdicts.
        std::vector<std::string> arguments{"--points", dir / "points.csv"};
#ifdef ROOTFINDER_HAVE_VERIFY
        arguments.insert(arguments.end(), {"--roots", dir / "roots.csv"});
        const bool rootsAsked = true;
#else
        const bool rootsAsked = false;
#endif
        arguments.insert(arguments.end(), {"1", "5", "0.1", "1e-4"});
        EXPECT_EQ(RunWithRedirections(arguments, redirections), c.status);
        const std::string points = ReadFile(dir / "points.csv");
        EXPECT_EQ(points.find(kFunctionHeader), std::string::npos) << "the report went into a file";
        EXPECT_EQ(points.rfind(c.status == kExitOk ? "x,y\n" : "keep\n", 0), 0u) << points;
        EXPECT_EQ(fs::exists(dir / "roots.csv"), rootsAsked && c.status == kExitOk);
        if (c.closed == ">&-") {
            EXPECT_NE(ReadFile(dir / "err").find("стандартный вывод: поток закрыт"), std::string::npos);
        }
    }
}

TEST(CliStandardStreams, TheFileStdoutOrStderrWritesToIsRefusedAsADestination)
{
    struct Case {
        std::string redirection; // to the file "log", which holds "OLD\n"
        std::string destination;
        std::string logAfter;
    };
    const Case cases[] = {{">>", "/dev/stdout", "OLD\n"}, {">", "/dev/stdout", ""},   {">>", "/dev/fd/1", "OLD\n"},
                          {">>", "log", "OLD\n"},         {">", "./log", ""},          {"2>>", "log", "OLD\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redirection + " " + c.destination);
        TempDir dir;
        std::ofstream(dir / "log", std::ios::binary) << "OLD\n";
        const std::string destination = c.destination[0] == '/' ? c.destination : dir / c.destination;
        const std::string keepStderr = c.redirection[0] == '2' ? "" : " 2>/dev/null";
        EXPECT_EQ(RunWithRedirections({"--points", destination, "1", "5", "0.1", "1e-4"}, c.redirection + ShellQuote(dir / "log") + keepStderr),
                  kExitUsage);
        const std::string log = ReadFile(dir / "log");
        EXPECT_EQ(log.rfind(c.logAfter, 0), 0u) << log;
        EXPECT_EQ(log.find("x,y"), std::string::npos) << log;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"log"});
    }
}

TEST(CliEnvironment, AnUnknownEvaluationPathIsRefusedAndAnUnavailableOneNamed)
{
    TempDir dir;
    EXPECT_EQ(RunWithRedirections({"1", "5", "0.1", "1e-4"}, ">/dev/null 2>" + ShellQuote(dir / "err"), "ROOTFINDER_SIMD=bogus"), kExitUsage);
    EXPECT_NE(ReadFile(dir / "err").find("«bogus»"), std::string::npos);
    for (auto path : {EvaluationPath::Avx512, EvaluationPath::AdvSimd}) {
        if (EvaluationPathAvailable(path)) continue;
        const std::string name(EvaluationPathName(path));
        EXPECT_EQ(RunWithRedirections({"1", "5", "0.1", "1e-4"}, ">/dev/null 2>" + ShellQuote(dir / "err"), "ROOTFINDER_SIMD=" + name), kExitOk);
        const std::string err = ReadFile(dir / "err");
        EXPECT_NE(err.find("«" + name + "»"), std::string::npos) << err;
        EXPECT_NE(err.find("путём " + std::string(EvaluationPathName(ActiveEvaluationPath()))), std::string::npos) << err;
    }
}

// ---------------------------------------------------------------------------------------
// Replacing a file keeps what it was; what a rename needs is checked before the run

TEST(CliReplacedFiles, KeepTheirModeAndTheirLinks)
{
    TempDir dir;
    std::ofstream(dir / "private.csv", std::ios::binary) << "old\n";
    fs::permissions(dir / "private.csv", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("made.csv", dir / "dangling.csv");
    const bool mayChangeGroup = geteuid() == 0;
    if (mayChangeGroup) {
        ASSERT_EQ(chown((dir / "private.csv").c_str(), static_cast<uid_t>(-1), 65534), 0);
    }
    const CliResult result = RunCliMain({"--points", dir / "private.csv", "--roots", dir / "dangling.csv", "1", "5", "0.1", "1e-4"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(fs::status(dir / "private.csv").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    struct stat replaced {};
    ASSERT_EQ(stat((dir / "private.csv").c_str(), &replaced), 0);
    if (mayChangeGroup) {
        EXPECT_EQ(replaced.st_gid, 65534u);
    }
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.csv"));
    EXPECT_EQ(ReadFile(dir / "made.csv").rfind("n,root", 0), 0u);
}

TEST(CliReplacedFiles, WhatARenameCouldNotDoIsRefusedBeforeTheRun)
{
    struct Case {
        std::vector<std::string> files; // option, name in the scratch directory, ...
        int status;
        std::string message;
    };
    TempDir dir;
    fs::create_symlink("new.csv", dir / "link.csv");
    const Case cases[] = {{{"--points", std::string(256, 'n') + ".csv"}, kExitRunError, "слишком длинное имя"},
                          {{"--points", "new.csv", "--roots", "link.csv"}, kExitUsage, "один и тот же файл"}};
    for (const Case& c : cases) {
        std::vector<std::string> arguments;
        for (std::size_t i = 0; i < c.files.size(); i += 2) arguments.insert(arguments.end(), {c.files[i], dir / c.files[i + 1]});
        arguments.insert(arguments.end(), {"1", "5", "0.1", "1e-4"});
        const CliResult result = RunCliMain(arguments);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_EQ(result.out, "") << "refused before the run";
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"link.csv"});
}

// Another user's view: a file this user may write but not replace in a sticky directory, and a
// file this user may not write at all.
TEST(CliReplacedFiles, AnotherUsersFilesAreRefusedBeforeTheRun)
{
    if (geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) GTEST_SKIP() << "needs root and setpriv to act as nobody";
    TempDir dir;
    fs::permissions(dir / "", fs::perms::all | fs::perms::sticky_bit);
    std::ofstream(dir / "roots.csv", std::ios::binary) << "keep\n";
    fs::permissions(dir / "roots.csv", fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
    std::ofstream(dir / "readonly.csv", std::ios::binary) << "keep\n";
    ASSERT_EQ(chown((dir / "readonly.csv").c_str(), 65534, static_cast<gid_t>(-1)), 0);
    fs::permissions(dir / "readonly.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string toOut = ">";
    toOut += ShellQuote(dir / "out");
    toOut += " 2>/dev/null";
    for (const std::string name : {"roots.csv", "readonly.csv"}) {
        SCOPED_TRACE(name);
        const int status = RunWithRedirections({"--points", dir / name, "1", "5", "0.1", "1e-4"}, toOut, "setpriv --reuid=65534 --regid=65534 --clear-groups");
        EXPECT_EQ(status, kExitRunError);
        EXPECT_EQ(ReadFile(dir / "out"), "") << "refused before the run";
        EXPECT_EQ(ReadFile(dir / name), "keep\n");
    }
}

TEST(CliReplacedFiles, ARenameFailingAfterOthersNamesWhatWasReplaced)
{
    TempDir dir;
    std::ofstream(dir / "points.csv", std::ios::binary) << "old\n";
    // Drawn after the run, before the renames: the roots file's name is then taken by a folder.
    const ChartRendererLoader blocking = [&dir] {
        return [&dir](const std::vector<PlotPoint>&, ChartFormat) {
            fs::create_directories(dir / "roots.csv/inside");
            return std::string("png");
        };
    };
    const CliResult result =
        RunCliMain({"--points", dir / "points.csv", "--roots", dir / "roots.csv", "--plot", dir / "chart.png", "1", "5", "0.1", "1e-4"}, blocking);
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_NE(result.err.find("Уже записаны: «" + dir / "points.csv" + "»."), std::string::npos) << result.err;
    ExpectEveryLinePrefixed(result.err);
    EXPECT_EQ(ReadFile(dir / "points.csv").rfind("x,y\n", 0), 0u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"points.csv", "roots.csv"})) << "no temporary, no chart";
}
#endif

#endif // _WIN32

} // namespace
