// The command line: CliMain in-process on scratch streams, its report, its errors and its usage
// (its files: CliFilesTest.cpp, CliRootsTest.cpp; the executable itself, where a POSIX system
// starts it: CliPosixTest.cpp).
#include "tests/app/CliHarness.h"

#include "core/CalculationRun.h"
#include "tests/framework/base/ScopedLocale.h"

namespace {

namespace fs = std::filesystem;

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
    testing::Values(
        CompleteRun{{"1", "5", "0.1", "0.0001"}, kTypicalReport},
        CompleteRun{{"1", "5", "0,1", "0,0001"}, kTypicalReport},
        // A text beginning with '-' that converts is a value, never an option.
        CompleteRun{{"-1", "1", "0.1", "0.0001"},
                    kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 0.100000\n2-й = 1.019122\n"},
        CompleteRun{{"--", "-1", "1", "0.1", "0.0001"},
                    kFunctionHeader + "\n" + kRootsHeader + "\n1-й = 0.100000\n2-й = 1.019122\n"},
        CompleteRun{{"1", "5", "--", "0.1", "0.0001"}, kTypicalReport},
        CompleteRun{{"-3", "-1", "0.5", "1e-4"}, kFunctionHeader + "\n" + kRootsHeader + "\n" + kNoRoots + "\n"},
        CompleteRun{{"-0,5", "-0.5", "0.25", "1e-4"}, kFunctionHeader + "\n" + kRootsHeader + "\n" + kNoRoots + "\n"},
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
                    RunError{{"1", "5", "0.1", "1e-4x"}, "", "«1e-4x»"}, RunError{{"", "", "", ""}, "", "«»"},
                    RunError{{"1", "5", "1e400", "0.0001"}, "", "«1e400»"},
                    // The field is named; a long or unprintable input is cut and escaped.
                    RunError{{"1", "5", "0.1.", "0.0001"}, "", "Поле h: «0.1.»"},
                    RunError{{"1", "5", "0.1", std::string(100000, '7') + "x"},
                             "",
                             "Поле EPS: «" + std::string(80, '7') + "…" + std::string(79, '7') + "x»"},
                    RunError{{"1", "g\xff\x1b[2J", "0.1", "0.0001"}, "", "Поле b: «g\\xFF\\x1B[2J»"},
                    RunError{{"-1e308", "1e308", "1e308", "1e-4"}, "", "a - h"},
                    RunError{{"1", "1e308", "1e308", "1e-4"}, "", "b + h"}, RunError{{"1", "5", "0", "0.0001"}, "", ""},
                    RunError{{"1", "5", "-0.1", "0.0001"}, "", ""}, RunError{{"1", "5", "0.1", "0"}, "", ""},
                    RunError{{"1e16", "1e16", "1", "0.0001"}, "", ""}, RunError{{"0", "1", "1e-8", "0.0001"}, "", ""},
                    // The refinement across the pole does not settle: the headers stay.
                    RunError{
                        {"-0.5", "0", "0.9", "1e-20"}, kFunctionHeader + "\n" + kRootsHeader + "\n", "[-0.5; 0.4]"}));

// ---------------------------------------------------------------------------------------
// Wrong usage: the usage on stderr, nothing on stdout, status 2

class CliUsageError : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CliUsageError, PrintsTheUsageOnStderrWithStatusTwo)
{
    const ScratchWorkingDirectory here; // for the files some of them name
    const CliResult result = RunCliMain(GetParam());
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find(kUsageStart), std::string::npos) << result.err;
    ExpectEveryLinePrefixed(result.err);
    EXPECT_EQ(here.Entries(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsageError,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"1"},
                    std::vector<std::string>{"1", "5", "0.1"}, std::vector<std::string>{"1", "5", "0.1", "0.0001", "7"},
                    std::vector<std::string>{"--verbose", "1", "5", "0.1", "0.0001"},
                    std::vector<std::string>{"1", "5", "0.1", "0.0001", "-x"},
                    std::vector<std::string>{"-inf", "5", "0.1", "0.0001"}, std::vector<std::string>{"--help=yes"},
                    std::vector<std::string>{"--points=", "1", "5", "0.1", "0.0001"},
                    std::vector<std::string>{"--pointsx=a.csv", "1", "5", "0.1", "0.0001"},
                    std::vector<std::string>{"1", "5", "0.1", "0.0001", "--roots"},
                    std::vector<std::string>{"1", "5", "0.1", "0.0001", "--points"},
                    std::vector<std::string>{"--points", "a.csv", "--points", "b.csv", "1", "5", "0.1", "0.0001"},
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

} // namespace
