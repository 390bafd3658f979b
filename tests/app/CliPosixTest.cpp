// The command line where a POSIX system tests it: a full device, file names as bytes, closed and
// redirected standard streams, and the files a rename replaces (the executable's own tests:
// CliExecutableTest.cpp). The build takes this file on POSIX systems only; on Windows the output
// comparison of scripts/test-platforms covers the executable.
#include "tests/app/CliHarness.h"
#include "tests/app/CliShell.h"

#include "core/EvaluateBlock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(CliUsage, AFailedWriteToStdoutIsReportedWithStatusOne)
{
    for (const auto& arguments :
         {std::vector<std::string>{"1", "5", "0.1", "0.0001"}, std::vector<std::string>{"--help"}}) {
        std::FILE* full = std::fopen("/dev/full", "w");
        ASSERT_NE(full, nullptr);
        std::FILE* err = ScratchStream();
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        const int status = CliMain(views, full, err);
        std::fclose(full);
        const std::string message = ReadAndClose(err);
        EXPECT_EQ(status, kExitRunError) << message;
        EXPECT_NE(message.find("стандартный вывод"), std::string::npos) << message;
        ExpectEveryLinePrefixed(message);
    }
}

TEST(CliOutputFiles, PathsAreUsedByteForByte)
{
    TempDir dir;
    ChartCalls calls;
    const std::string chart = dir / "g\xff.png", points = dir / "p\xfe\x01.csv";
    const CliResult result =
        RunCliMain({"--plot", chart, "--points", points, "1", "5", "0.1", "0.0001"}, RecordingChart(calls));
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"g\xff.png", "p\xfe\x01.csv"}));
}

TEST(CliOutputFiles, ADeviceIsWrittenInPlaceNotReplaced)
{
    const CliResult result = RunCliMain({"--points", "/dev/null", "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const CliResult full = RunCliMain({"--points", "/dev/full", "1", "5", "0.1", "0.0001"});
    EXPECT_EQ(full.status, kExitRunError);
    EXPECT_NE(full.err.find("/dev/full"), std::string::npos) << full.err;
}

// ---------------------------------------------------------------------------------------
// Standard streams and destinations that are (or name) them

TEST(CliStandardStreams, AClosedStreamTakesNoFileAndAClosedStdoutIsAFailedWrite)
{
    struct Case {
        std::string closed;
        int status;
    };
    for (const Case& c : {Case{"<&-", kExitOk}, Case{"2>&-", kExitOk}, Case{">&-", kExitRunError},
                          Case{"<&- >&- 2>&-", kExitRunError}}) {
        SCOPED_TRACE(c.closed);
        TempDir dir;
        std::ofstream(dir / "points.csv", std::ios::binary) << "keep\n";
        const std::string redirections =
            c.closed.find("2>") == std::string::npos ? c.closed + " 2>" + ShellQuote(dir / "err") : c.closed;
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

TEST(CliStandardStreams, TheFileAStandardStreamIsOpenOnIsRefusedAsADestination)
{
    struct Case {
        std::string redirection; // to or from the file "log", which holds "OLD\n"
        std::string destination;
        std::string logAfter;
    };
    const Case cases[] = {{">>", "/dev/stdout", "OLD\n"}, {">", "/dev/stdout", ""}, {">>", "/dev/fd/1", "OLD\n"},
                          {">>", "log", "OLD\n"},         {">", "./log", ""},       {"2>>", "log", "OLD\n"},
                          {"<", "/dev/stdin", "OLD\n"},   {"<", "log", "OLD\n"},    {"<", "/dev/fd/0", "OLD\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redirection + " " + c.destination);
        TempDir dir;
        std::ofstream(dir / "log", std::ios::binary) << "OLD\n";
        const std::string destination = c.destination[0] == '/' ? c.destination : dir / c.destination;
        const std::string keepStderr = c.redirection[0] == '2' ? "" : " 2>/dev/null";
        EXPECT_EQ(RunWithRedirections({"--points", destination, "1", "5", "0.1", "1e-4"},
                                      c.redirection + ShellQuote(dir / "log") + keepStderr),
                  kExitUsage);
        const std::string log = ReadFile(dir / "log");
        EXPECT_EQ(log.rfind(c.logAfter, 0), 0u) << log;
        EXPECT_EQ(log.find("x,y"), std::string::npos) << log;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"log"});
    }
}

// Destinations that cannot be what they name are refused before the run, with the real reason.
TEST(CliOutputFiles, ImpossibleDestinationsAreRefusedWithTheirReason)
{
    const ScratchWorkingDirectory here; // where a `-` taken for a file name would be written
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--points=-"},
         kExitUsage,
         "«-» не значит стандартный вывод: туда идёт отчёт; файл с именем «-» назовите «./-»"},
        // A folder that is there but takes no new file.
        {{"--roots", "/proc/version"}, kExitRunError, "в папке «/proc» файловая система не позволяет создавать файлы"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        if (c.options.back().starts_with("/proc") && !fs::is_directory("/proc/self")) continue; // no procfs here
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"1", "5", "0.1", "1e-4"});
        const CliResult result = RunCliMain(arguments);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, "") << "refused before the run";
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    EXPECT_EQ(here.Entries(), std::vector<std::string>{});
}

TEST(CliEnvironment, AnUnknownEvaluationPathIsRefusedAndAnUnavailableOneNamed)
{
    TempDir dir;
    EXPECT_EQ(RunWithRedirections({"1", "5", "0.1", "1e-4"}, ">/dev/null 2>" + ShellQuote(dir / "err"),
                                  "ROOTFINDER_SIMD=bogus"),
              kExitUsage);
    EXPECT_NE(ReadFile(dir / "err").find("«bogus»"), std::string::npos);
    for (auto path : {EvaluationPath::Avx512, EvaluationPath::AdvSimd}) {
        if (EvaluationPathAvailable(path)) continue;
        const std::string name(EvaluationPathName(path));
        EXPECT_EQ(RunWithRedirections({"1", "5", "0.1", "1e-4"}, ">/dev/null 2>" + ShellQuote(dir / "err"),
                                      "ROOTFINDER_SIMD=" + name),
                  kExitOk);
        const std::string err = ReadFile(dir / "err");
        EXPECT_NE(err.find("«" + name + "»"), std::string::npos) << err;
        EXPECT_NE(err.find("путём " + std::string(EvaluationPathName(ActiveEvaluationPath()))), std::string::npos)
            << err;
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
    const CliResult result =
        RunCliMain({"--points", dir / "private.csv", "--roots", dir / "dangling.csv", "1", "5", "0.1", "1e-4"});
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
        for (std::size_t i = 0; i < c.files.size(); i += 2)
            arguments.insert(arguments.end(), {c.files[i], dir / c.files[i + 1]});
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
    if (geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0)
        GTEST_SKIP() << "needs root and setpriv to act as nobody";
    TempDir dir;
    fs::permissions(dir / "", fs::perms::all | fs::perms::sticky_bit);
    std::ofstream(dir / "roots.csv", std::ios::binary) << "keep\n";
    fs::permissions(dir / "roots.csv",
                    fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec));
    std::ofstream(dir / "readonly.csv", std::ios::binary) << "keep\n";
    ASSERT_EQ(chown((dir / "readonly.csv").c_str(), 65534, static_cast<gid_t>(-1)), 0);
    fs::permissions(dir / "readonly.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string toOut = ">";
    toOut += ShellQuote(dir / "out");
    toOut += " 2>/dev/null";
    for (const std::string name : {"roots.csv", "readonly.csv"}) {
        SCOPED_TRACE(name);
        const int status = RunWithRedirections({"--points", dir / name, "1", "5", "0.1", "1e-4"}, toOut,
                                               "setpriv --reuid=65534 --regid=65534 --clear-groups");
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
    const CliResult result = RunCliMain({"--points", dir / "points.csv", "--roots", dir / "roots.csv", "--plot",
                                         dir / "chart.png", "1", "5", "0.1", "1e-4"},
                                        blocking);
    EXPECT_EQ(result.status, kExitRunError);
    EXPECT_NE(result.err.find("Уже записаны: «" + dir / "points.csv" + "»."), std::string::npos) << result.err;
    ExpectEveryLinePrefixed(result.err);
    EXPECT_EQ(ReadFile(dir / "points.csv").rfind("x,y\n", 0), 0u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"points.csv", "roots.csv"})) << "no temporary, no chart";
}

} // namespace
