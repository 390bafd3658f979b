// libFuzzer target over the command line's whole entry, CliMain: an argument vector of options,
// numbers and file names, with every file inside a scratch directory.
//
// The input is the arguments separated by NUL bytes. Every '/' is dropped from them, so each
// file name stays in the scratch directory, the process's working directory. Before each input
// the directory holds only old.csv ("keep", mode 0640) and link.csv, a dangling link to made.csv.
// After each input, whatever its status:
//   - the status is 0, 1 or 2, and stderr's lines each begin with the program's name;
//   - stdout holds only report lines (or the help or the version);
//   - no temporary file is left;
//   - after a failure old.csv is untouched, and after wrong usage nothing new is there.
#include "app/Cli.h"
#include "core/CalculationRun.h"
#include "tests/app/ReadBack.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kFunctionHeader = " Функция e^x / x^3 - sin(x)^3 - 2";
const std::string kRootsHeader = "------ Корни ------";
const std::string kNoRoots = "На отрезке корней НЕТ!";
const std::string kKept = "keep\n";
constexpr fs::perms kKeptMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
constexpr std::size_t kMaxArguments = 16;

[[noreturn]] void Broken(const char* invariant, const std::vector<std::string>& arguments, const std::string& detail)
{
    std::fprintf(stderr, "invariant broken: %s\narguments:", invariant);
    for (const auto& argument : arguments) std::fprintf(stderr, " [%s]", argument.c_str());
    std::fprintf(stderr, "\n%s\n", detail.c_str());
    std::abort();
}

#define CHECK(condition, detail)                                                                                       \
    do {                                                                                                               \
        if (!(condition)) Broken(#condition, arguments, detail);                                                       \
    } while (false)

std::vector<std::string> Entries()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The scratch directory as every input finds it.
void ResetScratch()
{
    for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path());
    std::ofstream("old.csv", std::ios::binary) << kKept;
    fs::permissions("old.csv", kKeptMode);
    fs::create_symlink("made.csv", "link.csv");
}

bool IsReportLine(std::string_view line)
{
    if (line == kFunctionHeader || line == kRootsHeader || line == kNoRoots) return true;
    const auto rest = line.find("-й = ");
    if (rest == std::string_view::npos || rest == 0) return false;
    return line.substr(0, rest).find_first_not_of("0123456789") == std::string_view::npos &&
           line.size() > rest + std::strlen("-й = ");
}

// A temporary file's name (.rootfinder-XXXXXXXX.tmp) that no argument gave as a file's.
bool IsTemporary(const std::string& name, const std::vector<std::string>& arguments)
{
    const std::string_view prefix = ".rootfinder-", suffix = ".tmp";
    if (name.size() != prefix.size() + 8 + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return false;
    return std::none_of(arguments.begin(), arguments.end(),
                        [&](const std::string& argument) { return argument.ends_with(name); });
}

// Drawing is the window's business; the command line gets a stand-in image.
ChartRendererLoader StandInChart()
{
    return [] { return [](const std::vector<PlotPoint>&, ChartFormat) { return std::string("image"); }; };
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char scratch[] = "/tmp/rootfinder-cli-fuzz-XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\0') {
            if (arguments.size() == kMaxArguments) break;
            arguments.emplace_back();
        } else if (c != '/') {
            arguments.back() += c;
        }
    }
    ResetScratch();
    const auto before = Entries();

    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (!out || !err) std::abort();
    const int status =
        CliMain(std::vector<std::string_view>(arguments.begin(), arguments.end()), out, err, StandInChart());
    const std::string stdoutText = ReadAndClose(out), stderrText = ReadAndClose(err);

    CHECK(status == 0 || status == 1 || status == 2, std::to_string(status));
    std::istringstream messages(stderrText);
    for (std::string line; std::getline(messages, line);) CHECK(line.rfind("rootfinder-cli: ", 0) == 0, stderrText);

    const bool helpOrVersion =
        stdoutText.rfind("Использование: ", 0) == 0 || stdoutText.rfind("rootfinder-cli ", 0) == 0;
    if (!helpOrVersion) {
        CHECK(stdoutText.empty() || stdoutText.back() == '\n', stdoutText);
        std::istringstream report(stdoutText);
        for (std::string line; std::getline(report, line);) CHECK(IsReportLine(line), stdoutText);
    }

    const auto after = Entries();
    for (const auto& name : after) CHECK(!IsTemporary(name, arguments), name);
    if (status != 0) {
        CHECK(ReadFile("old.csv") == kKept, ReadFile("old.csv"));
        CHECK(fs::status("old.csv").permissions() == kKeptMode, "old.csv's mode");
    }
    if (status == 2) {
        CHECK(stdoutText.empty(), stdoutText);
        CHECK(after == before, "a file appeared after wrong usage");
    }
    // A replaced file keeps its mode, and a link stays a link.
    CHECK(fs::status("old.csv").permissions() == kKeptMode, "old.csv's mode");
    CHECK(fs::is_symlink(fs::symlink_status("link.csv")), "link.csv replaced");
    return 0;
}
