// The command line: CliMain in-process on tmpfile() streams (the executable itself, where a POSIX
// system starts it: CliPosixTest.cpp).
#include "tests/app/CliHarness.h"

#include "core/CalculationRun.h"
#include "core/EvaluateBlock.h"
#include "core/TargetFunction.h"
#include "framework/base/Conversions.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <fstream>
#include <sstream>

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

// ---------------------------------------------------------------------------------------
// --roots FILE: what lies behind each root line, and how far it can be trusted

#ifdef ROOTFINDER_HAVE_VERIFY
struct RootsCase {
    std::vector<std::string> inputs;
    std::vector<std::string> verdicts; // in_step,status,pole_in_step for each root line, in order
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
    EXPECT_EQ(lines[0], "n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance");
    for (std::size_t i = 0; i < GetParam().verdicts.size(); ++i) {
        const auto fields = Fields(lines[1 + i]);
        ASSERT_EQ(fields.size(), 12u) << lines[1 + i];
        EXPECT_EQ(fields[0], std::to_string(i + 1));
        // The root is the one its report line shows, in the shortest round-trip form.
        const double root = std::stod(fields[1]);
        EXPECT_EQ(Shortest(root), fields[1]);
        EXPECT_EQ(rootLines[2 + i], fields[0] + "-й = " + FloatToStrF(root, ffFixed, 8, 6));
        // f_root is f at that root, bit for bit.
        EXPECT_TRUE(SameDouble(std::stod(fields[2]), TargetFunction(root))) << lines[1 + i];
        EXPECT_EQ(fields[6] + "," + fields[7] + "," + fields[10], GetParam().verdicts[i]) << lines[1 + i];
        // A root's enclosure and distance read back to the same doubles; other verdicts have none.
        if (fields[7] == "root") {
            EXPECT_EQ(Shortest(std::stod(fields[8])), fields[8]);
            EXPECT_LT(std::stod(fields[8]), std::stod(fields[9]));
            EXPECT_EQ(Shortest(std::stod(fields[11])), fields[11]);
        } else {
            EXPECT_EQ(fields[8] + fields[9] + fields[11], "");
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
    // files' form: a root that left its step, a missed zero, a root with the pole in its step,
    // and a run with no root line.
    testing::Values(RootsCase{{"1", "10", "0.5", "0.0001"},
                              {"true,root,false", "false,root,false", "true,root,false", "true,root,false"},
                              {"root,1", "root,", "root,3", "root,2 4"}},
                    RootsCase{{"-1", "1", "0.1", "1"}, {"true,root,true", "true,root,false"}, {}},
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

} // namespace
