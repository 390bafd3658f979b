// The command line: CliMain in-process on tmpfile() streams, and the real executable for its
// exit status.
#include "Cli.h"

#include "CalculationRun.h"
#include "Exception.h"
#include "core/RunRecorder.h"
#include "framework/ScopedLocale.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

std::string ReadAndClose(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

struct CliResult {
    int status;
    std::string out, err;
};

CliResult RunCliMain(const std::vector<std::string>& arguments, const ChartExporter& exporter = {})
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) throw std::runtime_error("tmpfile() failed");
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    const int status = CliMain(views, out, err, exporter);
    return {status, ReadAndClose(out), ReadAndClose(err)};
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliRunError,
    testing::Values(RunError{{"abc", "5", "0.1", "0.0001"}, "", "«abc»"},
                    RunError{{"1", "5", "0.1", "1e-4x"}, "", "«1e-4x»"},
                    RunError{{"", "", "", ""}, "", "«»"},
                    RunError{{"1", "5", "1e400", "0.0001"}, "", "«1e400»"},
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
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliUsageError,
                         testing::Values(std::vector<std::string>{}, std::vector<std::string>{"1"},
                                         std::vector<std::string>{"1", "5", "0.1"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "7"},
                                         std::vector<std::string>{"--verbose", "1", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"1", "5", "0.1", "0.0001", "-x"},
                                         std::vector<std::string>{"-inf", "5", "0.1", "0.0001"},
                                         std::vector<std::string>{"--", "1", "5", "0.1", "0.0001"},
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
    for (const auto& arguments : {std::vector<std::string>{"--help"},
                                  std::vector<std::string>{"1", "5", "0.1", "0.0001", "--help"}}) {
        const CliResult result = RunCliMain(arguments);
        EXPECT_EQ(result.status, kExitOk);
        EXPECT_EQ(result.out.rfind(kUsageStart, 0), 0u) << result.out;
        EXPECT_NE(result.out.find("--points"), std::string::npos);
        EXPECT_EQ(result.out.back(), '\n');
        EXPECT_EQ(result.err, "");
    }
}

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

TEST(CliPoints, AFileThatCannotBeCreatedEndsTheRunWithStatusOne)
{
    const std::string path = "/nonexistent-rootfinder-directory/points.csv";
    const CliResult result = RunCliMain({"--points", path, "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_EQ(result.out, kFunctionHeader + "\n"); // the line before the plot stays
    EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
}

// ---------------------------------------------------------------------------------------
// The chart exporter hook (--plot) as CliMain offers it

TEST(CliPlotHook, TheExporterGetsTheRunsPointsAndTheFileName)
{
    std::vector<PlotPoint> exported;
    std::string exportedTo;
    int calls = 0;
    const ChartExporter exporter = [&](const std::vector<PlotPoint>& points, const std::string& file) {
        ++calls;
        exported = points;
        exportedTo = file;
    };
    const CliResult result = RunCliMain({"--plot", "chart.svg", "1", "5", "0.1", "0.0001"}, exporter);
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(result.out, kTypicalReport);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(exportedTo, "chart.svg");
    ASSERT_EQ(exported.size(), 43u);
    EXPECT_EQ(exported.front().x, 0.9);
    EXPECT_EQ(exported.back().x, 5.099999999999999);
}

TEST(CliPlotHook, AnExporterErrorEndsTheRunWithStatusOne)
{
    const ChartExporter failing = [](const std::vector<PlotPoint>&, const std::string&) {
        throw Exception("Не удалось нарисовать график.");
    };
    const CliResult result = RunCliMain({"--plot", "chart.png", "1", "5", "0.1", "0.0001"}, failing);
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_EQ(result.out, kTypicalReport);
    EXPECT_NE(result.err.find("Не удалось нарисовать график."), std::string::npos) << result.err;
}

TEST(CliPlotHook, AChartFileOfNeitherFormatIsRefusedBeforeTheRun)
{
    int calls = 0;
    const ChartExporter exporter = [&](const std::vector<PlotPoint>&, const std::string&) { ++calls; };
    for (const char* file : {"chart.bmp", "chart", "png"}) {
        const CliResult result = RunCliMain({"--plot", file, "1", "5", "0.1", "0.0001"}, exporter);
        EXPECT_EQ(result.status, kExitRunError) << file;
        EXPECT_EQ(result.out, "") << file;
        EXPECT_NE(result.err.find(file), std::string::npos) << result.err;
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(RunCliMain({"--plot", "Chart.SVG", "1", "5", "0.1", "0.0001"}, exporter).status, kExitOk);
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

#endif // _WIN32

} // namespace
