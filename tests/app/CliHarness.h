#pragma once
// What the command-line tests share: CliMain run in-process on scratch streams, the scratch files
// and directories of TempFiles.h, and a chart hook that records its calls.
#include "app/Cli.h"
#include "tests/app/ReadBack.h"

#include "tests/core/RunRecorder.h"
#include "tests/os/TempFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

constexpr int kExitOk = 0;
constexpr int kExitRunError = 1;
constexpr int kExitUsage = 2;
inline const std::string kUsageStart = "Использование: rootfinder-cli";

inline const std::string kTypicalReport =
    kFunctionHeader + "\n" + kRootsHeader + "\n" + "1-й = 1.019122\n" + "2-й = 4.595297\n";

struct CliResult {
    int status;
    std::string out, err;
};

// The proofs in this process, where the executable loads them from its module. A build without
// them gets verdicts that decide nothing, so the tests of the files themselves still run.
inline RunVerifier InProcessVerifier()
{
#ifdef ROOTFINDER_HAVE_VERIFY
    return VerifyRun;
#else
    return [](const std::vector<RootRecord>& lines, const CalculationInputs&, bool) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return RunVerdicts{std::vector<LineVerdict>(lines.size(), {Verdict::Undecided, true, false, none, none, none}),
                           {}};
    };
#endif
}

inline CliResult RunCliMain(const std::vector<std::string>& arguments, const ChartRendererLoader& chartLoader = {})
{
    std::FILE* out = ScratchStream();
    std::FILE* err = ScratchStream();
    if (!out || !err) throw std::runtime_error("no scratch stream");
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    const int status = CliMain(views, out, err, chartLoader, InProcessVerifier);
    return {status, ReadAndClose(out), ReadAndClose(err)};
}

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start)); // an unterminated last line
    return lines;
}

inline std::string Shortest(double value)
{
    if (std::isnan(value)) return "nan";
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// Every line on stderr begins with the program's name.
inline void ExpectEveryLinePrefixed(const std::string& err)
{
    for (const auto& line : SplitLines(err)) EXPECT_EQ(line.rfind("rootfinder-cli: ", 0), 0u) << err;
}

struct ChartCalls {
    int loads = 0;
    std::vector<std::vector<PlotPoint>> drawn;
    std::vector<ChartFormat> formats;
};

// A loader whose renderer records its calls and returns the format's name as the image.
inline ChartRendererLoader RecordingChart(ChartCalls& calls)
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
