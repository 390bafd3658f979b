// The command line's output files: the points as CSV, the chart hook (--plot), and files that
// appear whole or not at all.
#include "tests/app/CliHarness.h"

#include "core/CalculationRun.h"
#include "framework/base/Exception.h"
#include "tests/framework/base/ScopedLocale.h"

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

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
    EXPECT_NE(std::find(lines.begin(), lines.end(), GetParam().line), lines.end()) << testing::PrintToString(lines);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliPointsNonFinite,
                         testing::Values(NonFinitePoints{{"-1", "1", "0.5", "0.0001"}, "0,inf"}, // the pole at 0
                                         NonFinitePoints{{"-1e-110", "-1e-110", "1e-111", "1"},
                                                         "-1e-110,-inf"}, // the cube underflows
                                         NonFinitePoints{{"1e200", "1e200", "1e185", "1"}, "1e+200,nan"})); // inf / inf

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
    {
        std::ofstream(csv.Path(), std::ios::binary) << "keep\n";
    }
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
    const CliResult result =
        RunCliMain({"--plot", dir / "chart.SVG", "1", "5", "0.1", "0.0001"}, RecordingChart(calls));
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
        return [](const std::vector<PlotPoint>&, ChartFormat) -> std::string {
            throw Exception("Не удалось нарисовать график.");
        };
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
    for (const std::vector<std::string>& inputs :
         {std::vector<std::string>{"1", "x", "0.1", "0.0001"}, std::vector<std::string>{"-0.5", "0", "0.9", "1e-20"}}) {
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
    for (const std::string& path :
         {std::string("/nonexistent-rootfinder-directory/points.csv"), dir / "file/points.csv", dir.operator/("")}) {
        const CliResult result = RunCliMain({"--points", path, "1", "5", "0.1", "0.0001"});
        EXPECT_EQ(result.status, kExitRunError) << path;
        EXPECT_EQ(result.out, "") << "nothing is computed before the files are checked";
        EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
    }
}

TEST(CliOutputFiles, TwoOptionsNamingTheSameFileAreRefused)
{
    const ScratchWorkingDirectory here; // for the names without a folder
    TempDir dir;
    std::ofstream(dir / "existing.png", std::ios::binary) << "keep\n";
    std::vector<std::vector<std::string>> cases = {
        {"--points", dir / "a.png", "--plot", dir / "./a.png"},
        {"--points", "same.csv", "--roots", "./same.csv"},
        {"--points", dir / "x.csv", "--roots",
         dir / "../" + fs::path(dir / "").parent_path().filename().string() + "/x.csv"}};
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
    EXPECT_EQ(here.Entries(), std::vector<std::string>{});
    EXPECT_EQ(ReadFile(dir / "existing.png"), "keep\n");
}

} // namespace
