#pragma once
// One press of Calculate: parse the four texts, plot f from a - h to just below b + h,
// scan [a, b] in steps of h for sign changes, refine each with SecantRoot and report the
// roots, numbered, or that there are none.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct CalculationInputs {
    double a;   // left end of the interval
    double b;   // right end
    double h;   // scanning and plotting step
    double eps; // tolerance of the secant refinement
};

struct PlotPoint {
    double x;
    double y;
};

// Receives whole report lines, in order; never cleared by a run.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void Add(const std::string& line) = 0;
};

// Receives a clear request, then the plot points in the order produced.
class PlotSink {
public:
    virtual ~PlotSink() = default;
    virtual void Clear() = 0;
    // A capacity hint, given right after Clear: exactly this many points follow, unless an
    // error ends the run first.
    virtual void Reserve(std::size_t /*points*/) {}
    virtual void Add(PlotPoint point) = 0;
    // The next `count` points, (xs[i], ys[i]) in order, as that many calls of Add would hand
    // them: a sink that keeps points can take them in one pass, one that drops them not at all.
    virtual void AddBlock(const double* xs, const double* ys, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) Add({xs[i], ys[i]});
    }
};

// What lies behind one root line, for a caller that wants to judge it: the scan interval whose
// ends changed sign and the refinement's result.
struct RootRecord {
    long long number;   // n of the root line
    double left, right; // the scan interval [x, x + h]
    double root;        // the value the root line reports
    double fRoot;       // f(root), the refinement's last evaluation
    int updates;        // secant updates made
};

// Receives one record per root line, right after the line itself.
class RootSink {
public:
    virtual ~RootSink() = default;
    virtual void Add(const RootRecord& record) = 0;
};

// Keeps the records behind the root lines, to be judged once the run is over.
class RootRecords final : public RootSink {
public:
    void Add(const RootRecord& record) override { records.push_back(record); }
    std::vector<RootRecord> records;
};

// A run may plot at most this many points, a build setting (ROOTFINDER_MAX_PLOT_POINTS in
// core/CMakeLists.txt): by default 50 million, which take 0.8 GB as doubles in the chart and, on
// the x86-64 machine measured, 0.5 s of CPU time to compute with AVX-512 or 6 s on the scalar path.
inline constexpr std::size_t kMaxPlotPoints = ROOTFINDER_MAX_PLOT_POINTS;

// Converts the four texts (a, b, h, eps) with StrToFloat, in that order. The EConvertError
// of a text that does not convert names its field: a, b, h or EPS.
CalculationInputs ParseInputs(std::string_view a, std::string_view b, std::string_view h, std::string_view eps);

// Raises Exception, before anything is appended, for inputs on which the run would not
// end or would not fit: a or b not finite, h or eps not positive and finite, a - h or b + h
// beyond the range of doubles, an h that does not advance the abscissa somewhere on
// [a - h, b + h], more than kMaxPlotPoints points.
// Returns the number of points the run plots.
std::size_t CheckInputs(const CalculationInputs& inputs);

// A root as its report line writes it: FloatToStrF fixed, 8 digits of precision, 6 decimals ("1.019122").
std::string RootText(double root);

// The run on already converted inputs (checked first). `roots`, if given, receives a record
// for every root line.
void CalculationRun(const CalculationInputs& inputs, ReportSink& report, PlotSink& plot, RootSink* roots = nullptr);

// The run on the four input texts: all four are converted before anything is appended.
void CalculationRun(std::string_view a, std::string_view b, std::string_view h, std::string_view eps,
                    ReportSink& report, PlotSink& plot, RootSink* roots = nullptr);
