// The command line's --roots and --all-roots files: the verdict of every root line and every
// zero of f on the interval.
#include "tests/app/CliHarness.h"

#include "core/CalculationRun.h"
#include "core/TargetFunction.h"
#include "framework/base/Conversions.h"

#include <sstream>

namespace {

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

INSTANTIATE_TEST_SUITE_P(Inputs, CliRoots,
                         // The verdicts themselves are checked against 40-digit zeros by tests/verdicts; here, the
                         // files' form: a root that left its step, a missed zero, a root with the pole in its step,
                         // and a run with no root line.
                         testing::Values(RootsCase{{"1", "10", "0.5", "0.0001"},
                                                   {"true,root,false", "false,root,false", "true,root,false",
                                                    "true,root,false"},
                                                   {"root,1", "root,", "root,3", "root,2 4"}},
                                         RootsCase{{"-1", "1", "0.1", "1"}, {"true,root,true", "true,root,false"}, {}},
                                         RootsCase{{"-3", "-1", "0.5", "1e-4"}, {}, {}}));
#endif

TEST(CliRoots, WithoutTheProofsBothFilesAreRefusedAsWrongUsage)
{
    for (const char* option : {"--roots", "--all-roots"}) {
        std::FILE* out = ScratchStream();
        std::FILE* err = ScratchStream();
        const std::vector<std::string_view> arguments{option, "r.csv", "1", "5", "0.1", "0.0001"};
        EXPECT_EQ(CliMain(arguments, out, err), kExitUsage) << option;
        EXPECT_EQ(ReadAndClose(out), "");
        EXPECT_NE(ReadAndClose(err).find("(--roots, --all-roots)"), std::string::npos);
    }
}

} // namespace
