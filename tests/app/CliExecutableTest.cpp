// The real rootfinder-cli executable, started through a POSIX shell or by fork and exec: its exit
// statuses, its links, and signals and resource limits during a run. POSIX systems only.
#include "tests/app/CliHarness.h"
#include "tests/app/CliShell.h"
#include "tests/framework/base/ScopedLocale.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

CliResult RunExecutable(const std::vector<std::string>& arguments, const std::string& locale = "C")
{
    TempPath out(".out"), err(".err");
    std::string redirections = "</dev/null >";
    redirections += ShellQuote(out.String());
    redirections += " 2>";
    redirections += ShellQuote(err.String());
    const int status = RunWithRedirections(arguments, redirections, "LC_ALL=" + ShellQuote(locale));
    return {status, ReadFile(out.Path()), ReadFile(err.Path())};
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

// Starts the executable with stdout to `outFile` and stderr to `errFile`, the signals at their
// default actions, and, when `fileSizeLimit` is given, that limit on the files it writes.
pid_t StartExecutable(const std::vector<std::string>& arguments, const std::string& errFile, rlim_t fileSizeLimit = 0,
                      const std::string& outFile = "/dev/null")
{
    std::vector<std::string> all{ROOTFINDER_CLI_PATH};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
    return std::any_of(entries.begin(), entries.end(),
                       [](const std::string& name) { return name.rfind(".rootfinder-", 0) == 0; });
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
#ifdef ROOTFINDER_HAVE_VERIFY
        // 1e7 points: a run of seconds.
        const pid_t pid = StartExecutable(
            {"--points", dir / "points.csv", "--roots", dir / "roots.csv", "1", "11", "1e-6", "1e-4"}, err.String());
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

TEST(CliExecutable, AFailedWriteStopsTheRunAndLeavesTheExistingFileAndNoTemporary)
{
    if (*ROOTFINDER_CLI_LAUNCHER) GTEST_SKIP() << "started directly, not through the emulator it needs";
    TempDir dir;
    TempPath err(".err"), out(".out");
    std::ofstream(dir / "points.csv", std::ios::binary) << "keep\n";
    // 4003 points take about 150 kB; the file may grow to 64 kB, and SIGXFSZ is at its default.
    const pid_t pid = StartExecutable({"--points", dir / "points.csv", "1", "5", "0.001", "1e-4"}, err.String(),
                                      64 * 1024, out.String());
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
    // The run stopped at the failed write, in the plot: the roots header and lines never came.
    EXPECT_EQ(ReadFile(out.Path()), kFunctionHeader + "\n");
}

} // namespace
