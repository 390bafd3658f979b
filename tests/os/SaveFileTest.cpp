// The safe write: a file appears whole, under its name, only when committed; an existing file is
// kept until then, and a destination that cannot be written is refused when the file is made.
#include "framework/base/Exception.h"
#include "os/SaveFile.h"
#include "tests/os/TempFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::optional<std::string> Contents(const std::string& path)
{
    if (!fs::exists(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Writing {
    const char* name;
    std::optional<std::string> existing; // the destination's contents before, if it exists
    bool commit;
    std::optional<std::string> after; // the destination's contents after, if it exists
};

class SaveFileWrites : public testing::TestWithParam<Writing> {};

TEST_P(SaveFileWrites, PutsTheFileInPlaceOnlyWhenCommittedAndLeavesNoTemporary)
{
    const Writing& w = GetParam();
    TempDir dir;
    const std::string destination = dir / "points.csv";
    if (w.existing) std::ofstream(destination, std::ios::binary) << *w.existing;
    {
        TSaveFile file(destination);
        file.Write("x,y\n");
        file.Write("1,2\n");
        EXPECT_EQ(Contents(destination), w.existing); // nothing shows before the commit
        if (w.commit) {
            EXPECT_TRUE(file.Commit());
        }
    }
    EXPECT_EQ(Contents(destination), w.after);
    EXPECT_EQ(dir.Entries(), w.after ? std::vector<std::string>{"points.csv"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveFileWrites,
                         testing::Values(Writing{"NewCommitted", std::nullopt, true, "x,y\n1,2\n"},
                                         Writing{"NewAbandoned", std::nullopt, false, std::nullopt},
                                         Writing{"ExistingReplaced", "old\n", true, "x,y\n1,2\n"},
                                         Writing{"ExistingKept", "old\n", false, "old\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    const char* destination; // in a scratch directory that holds a folder "folder" and nothing else
    const char* reason;
};

class SaveFileRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(SaveFileRefuses, RaisesNamingTheDestinationAndTheReasonAndCreatesNothing)
{
    const Refusal& r = GetParam();
    TempDir dir;
    fs::create_directory(dir / "folder");
    const std::string destination = dir / r.destination;
    try {
        TSaveFile file(destination);
        FAIL() << "made " << destination;
    } catch (const Exception& error) {
        EXPECT_NE(error.Message.find(destination), std::string::npos) << error.Message;
        EXPECT_NE(error.Message.find(r.reason), std::string::npos) << error.Message;
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"folder"});
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveFileRefuses,
                         testing::Values(Refusal{"AFolder", "folder", "это папка"},
                                         Refusal{"AMissingFolder", "missing/points.csv", "нет такой папки"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Pair {
    const char* name;
    const char* first;
    const char* second; // in a scratch directory that holds the file "a" and the folder "sub"
    bool same;
};

class SameFileCases : public testing::TestWithParam<Pair> {};

TEST_P(SameFileCases, TellsWhetherTwoPathsNameOneFile)
{
    const Pair& p = GetParam();
    TempDir dir;
    std::ofstream(dir / "a") << "a";
    fs::create_directory(dir / "sub");
    EXPECT_EQ(SameFile(dir / p.first, dir / p.second), p.same);
}

INSTANTIATE_TEST_SUITE_P(Cases, SameFileCases,
                         testing::Values(Pair{"TheSameExistingFile", "a", "a", true},
                                         Pair{"AnotherWayToTheExistingFile", "sub/../a", "./a", true},
                                         Pair{"AnExistingAndANewFile", "a", "b", false},
                                         Pair{"TheSameNewFile", "sub/b", "sub/../sub/b", true},
                                         Pair{"TwoNewFiles", "b", "c", false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
