#pragma once
// A summary of a line's ordinates by blocks, built as points arrive, from which a redraw picks the
// few points per pixel column that draw the same line as all of them: the first and the last point
// of the column, and those holding its lowest and highest ordinate, each at its own abscissa. No
// Qt here: the series (Series.h) hands over its points as a strided view.
#include <cstddef>
#include <cstdint>
#include <vector>

// Points in ascending x, read in place: point i's key is keys[i * stride], its value
// values[i * stride] (stride counted in doubles, as the points lie in an array of pairs).
struct PointsView {
    const double* keys = nullptr;
    const double* values = nullptr;
    std::size_t stride = 2;
    std::size_t count = 0;

    double Key(std::size_t i) const { return keys[i * stride]; }
    double Value(std::size_t i) const { return values[i * stride]; }
};

// A non-finite ordinate (NaN or an infinity) is a gap: the line breaks there.
//
// Level 1 keeps, for each whole block of kLeafPoints points, its lowest and highest finite
// ordinate and a bit telling whether it holds a gap; each level above does the same for whole
// groups of kFanOut entries of the level below. A partial block at the end is read from the points
// themselves. That is 16 bytes and a bit per 64 points, and a seventh more for the levels above:
// under 0.3 bytes a point.
class SeriesSummary {
public:
    static constexpr std::size_t kLeafPoints = 64;
    static constexpr std::size_t kFanOut = 8;

    // Forgets every block and returns the memory.
    void Clear();

    // A hint: the points will number `points`. The summary's room is taken now.
    void Reserve(std::size_t points);

    // The points from `from` on have changed (a point was put in before them): the blocks that
    // hold them are forgotten until the next Extend.
    void Forget(std::size_t from);

    // Summarises the whole blocks of `points` not yet summarised.
    void Extend(const PointsView& points);

    // Appends to `drawn`, in ascending order, the indices of the points of [first, last) that draw
    // the line over the view [lower, upper] split into `columns` equal columns: for each column
    // (and for the points before and after the view, each taken as one more column) its first
    // and last point and those of its lowest and highest ordinate. In a column that holds a gap
    // this is done for the points before its first gap and after its last one, and the first and
    // the last gap themselves are drawn (what lies between two gaps of one column is narrower than
    // the column and left out).
    void Columns(const PointsView& points, std::size_t first, std::size_t last, double lower, double upper,
                 std::size_t columns, std::vector<std::size_t>& drawn) const;

private:
    struct Extremes {
        double lowest, highest;
    };
    struct Level {
        std::vector<Extremes> entries;
        std::vector<std::uint64_t> gaps; // a bit an entry
        bool Gap(std::size_t entry) const { return (gaps[entry / 64] >> (entry % 64)) & 1; }
        // The extremes of the entries [from, to) together, and whether any of them holds a gap.
        struct Part {
            Extremes extremes;
            bool gap;
        };
        Part Over(std::size_t from, std::size_t to) const;
    };
    // Where a range's extreme or gap lies: at level 0 the points [index, end), else the entries
    // [index, end) of level `level` (held in levels_[level - 1]).
    struct Place {
        std::size_t level = 0, index = 0, end = 0;
        bool found = false;
    };
    struct Found {
        double lowest, highest;
        Place lowestAt, highestAt, firstGap, lastGap;
    };

    struct Side;

    // Columns ahead of the one being scanned whose memory is asked for.
    static constexpr std::size_t kColumnsAhead = 4;

    void Prefetch(const PointsView& points, std::size_t point) const;

    Found Scan(const PointsView& points, std::size_t first, std::size_t last) const;
    std::size_t PointHolding(const PointsView& points, Place at, double value, double Extremes::*extreme) const;
    std::size_t GapPoint(const PointsView& points, Place at, bool last) const;
    // The first, lowest, highest and last points of [first, last), which holds no gap; `found` is
    // Scan's answer for that range.
    void AppendRun(const PointsView& points, std::size_t first, std::size_t last, const Found& found,
                   std::vector<std::size_t>& drawn) const;
    void AppendColumn(const PointsView& points, std::size_t first, std::size_t last,
                      std::vector<std::size_t>& drawn) const;
    void AddEntry(std::size_t level, Extremes extremes, bool gap);
    std::size_t Entries(std::size_t tier) const { return tier < levels_.size() ? levels_[tier].entries.size() : 0; }

    std::vector<Level> levels_; // levels_[tier] is level tier + 1
};

// The first index in [first, last) whose key is not below `key`, searched from `guess` outward,
// so a guess near the answer costs a few reads.
std::size_t LowerBoundFrom(const PointsView& points, std::size_t first, std::size_t last, double key,
                           std::size_t guess);
