#pragma once
// Test support for the calculation run's tests: a run on the four input texts, recorded, and the
// plot's abscissae worked out apart from the run.
#include "core/CalculationRun.h"
#include "core/ExactArithmetic.h"
#include "core/TargetFunction.h"
#include "tests/core/ExactSumOracle.h"
#include "tests/core/RunRecorder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

struct Texts {
    std::string a, b, h, eps;
};

inline std::ostream& operator<<(std::ostream& os, const Texts& t)
{
    return os << "a=\"" << t.a << "\" b=\"" << t.b << "\" h=\"" << t.h << "\" eps=\"" << t.eps << "\"";
}

// Every root line's f_root is f at the root the line reports, bit for bit.
inline void ExpectFRootIsFAtTheRoot(const RootRecords& roots)
{
    for (const RootRecord& r : roots.records)
        EXPECT_TRUE(SameDouble(r.fRoot, TargetFunction(r.root))) << "root line " << r.number << ": " << r.root;
}

inline RunRecorder RunTexts(const Texts& t)
{
    RunRecorder recorder;
    RootRecords roots;
    CalculationRun(t.a, t.b, t.h, t.eps, recorder.Report(), recorder.Plot(), &roots);
    ExpectFRootIsFAtTheRoot(roots);
    return recorder;
}

inline std::string RootLine(int n, const std::string& value) { return std::to_string(n) + "-й = " + value; }

// The plot's abscissae: from a - h, each the double sum of the one before and h, while below
// b + h rounded to a 64-bit significand, decided in exact integer arithmetic where the compiler
// has 128-bit integers (everywhere the tests run in CI).
inline bool BelowBound(double b, double h, double x)
{
#ifdef ROOTFINDER_HAVE_EXACT_SUM_ORACLE
    return ExactRoundedSumExceeds(b, h, x);
#else
    return ExtendedSum(b, h).Exceeds(x);
#endif
}

inline std::vector<double> ReferenceAbscissae(double a, double b, double h)
{
    std::vector<double> xs;
    for (double x = a - h; BelowBound(b, h, x); x = x + h) xs.push_back(x);
    return xs;
}
