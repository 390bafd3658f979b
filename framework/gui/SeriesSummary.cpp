#include "framework/gui/SeriesSummary.h"

#include <algorithm>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// NaN and both infinities give NaN here.
bool Finite(double v) { return v - v == 0; }

// The lowest and highest finite ordinates of the points [from, to), and whether they hold a gap:
// a tight pass that keeps no index (the point holding an extreme is found again only for the one
// part that wins).
struct PointsExtremes {
    double lowest = kInfinity, highest = -kInfinity;
    bool gap = false;
};
PointsExtremes ExtremesOf(const PointsView& points, std::size_t from, std::size_t to)
{
    PointsExtremes extremes;
    for (std::size_t i = from; i < to; ++i) {
        const double v = points.Value(i);
        const bool finite = Finite(v);
        extremes.lowest = finite && v < extremes.lowest ? v : extremes.lowest;
        extremes.highest = finite && v > extremes.highest ? v : extremes.highest;
        extremes.gap |= !finite;
    }
    return extremes;
}

} // namespace

// One side of a range being scanned: the left side takes its parts in ascending order, the right
// side in descending order, so that of two equal extremes the earlier part wins on both.
struct SeriesSummary::Side {
    double lowest = kInfinity, highest = -kInfinity;
    Place lowestAt, highestAt, firstGapAt, lastGapAt;
    bool descending = false;

    void Take(Place part, double low, double high, bool gap)
    {
        part.found = true;
        if (low <= high) {
            if (descending ? low <= lowest : low < lowest) lowest = low, lowestAt = part;
            if (descending ? high >= highest : high > highest) highest = high, highestAt = part;
        }
        if (!gap) return;
        if (!firstGapAt.found || descending) firstGapAt = part;
        if (!lastGapAt.found || !descending) lastGapAt = part;
    }
};

void SeriesSummary::Clear() { std::vector<Level>().swap(levels_); }

void SeriesSummary::Reserve(std::size_t points)
{
    for (std::size_t tier = 0, entries = points / kLeafPoints; entries > 0; ++tier, entries /= kFanOut) {
        if (levels_.size() <= tier) levels_.emplace_back();
        levels_[tier].entries.reserve(entries);
        levels_[tier].gaps.reserve((entries + 63) / 64);
    }
}

void SeriesSummary::Forget(std::size_t from)
{
    std::size_t keep = from / kLeafPoints;
    for (Level& level : levels_) {
        keep = std::min(keep, level.entries.size());
        level.entries.resize(keep);
        level.gaps.resize((keep + 63) / 64);
        if (keep % 64 != 0) level.gaps.back() &= (std::uint64_t{1} << (keep % 64)) - 1;
        keep /= kFanOut;
    }
}

void SeriesSummary::AddEntry(std::size_t tier, Extremes extremes, bool gap)
{
    if (levels_.size() <= tier) levels_.emplace_back();
    Level& level = levels_[tier];
    const std::size_t entry = level.entries.size();
    level.entries.push_back(extremes);
    if (entry % 64 == 0) level.gaps.push_back(0);
    level.gaps.back() |= std::uint64_t{gap} << (entry % 64);
    if ((entry + 1) % kFanOut != 0) return;
    const Level::Part group = level.Over(entry + 1 - kFanOut, entry + 1);
    AddEntry(tier + 1, group.extremes, group.gap);
}

SeriesSummary::Level::Part SeriesSummary::Level::Over(std::size_t from, std::size_t to) const
{
    Part part{{kInfinity, -kInfinity}, false};
    for (std::size_t e = from; e < to; ++e) {
        part.extremes.lowest = std::min(part.extremes.lowest, entries[e].lowest);
        part.extremes.highest = std::max(part.extremes.highest, entries[e].highest);
        part.gap |= Gap(e);
    }
    return part;
}

void SeriesSummary::Extend(const PointsView& points)
{
    for (std::size_t block = Entries(0); (block + 1) * kLeafPoints <= points.count; ++block) {
        const PointsExtremes extremes = ExtremesOf(points, block * kLeafPoints, (block + 1) * kLeafPoints);
        AddEntry(0, {extremes.lowest, extremes.highest}, extremes.gap);
    }
}

// Bottom up: the points up to the first whole block and from the last one, then at each level the
// entries up to the first whole group and from the last one, until the two sides meet.
SeriesSummary::Found SeriesSummary::Scan(const PointsView& points, std::size_t first, std::size_t last) const
{
    Side left, right;
    right.descending = true;
    const auto takePoints = [&](Side& side, std::size_t from, std::size_t to) {
        if (from == to) return;
        const PointsExtremes extremes = ExtremesOf(points, from, to);
        side.Take({0, from, to}, extremes.lowest, extremes.highest, extremes.gap);
    };
    std::size_t i = first, j = last;
    const std::size_t wholeFrom = std::min((i + kLeafPoints - 1) / kLeafPoints * kLeafPoints, j);
    const std::size_t wholeTo = std::max(wholeFrom, std::min(j / kLeafPoints * kLeafPoints, Entries(0) * kLeafPoints));
    takePoints(left, i, wholeFrom);
    takePoints(right, wholeTo, j);
    i = wholeFrom / kLeafPoints, j = wholeTo / kLeafPoints;
    for (std::size_t tier = 0; i < j; ++tier) {
        const Level& level = levels_[tier];
        // The entries [from, to) as one part: the entry holding each extreme is found again only
        // if the part wins.
        const auto takeEntries = [&](Side& side, std::size_t from, std::size_t to) {
            if (from == to) return;
            const Level::Part part = level.Over(from, to);
            side.Take({tier + 1, from, to}, part.extremes.lowest, part.extremes.highest, part.gap);
        };
        const std::size_t groupFrom = std::min((i + kFanOut - 1) / kFanOut * kFanOut, j);
        takeEntries(left, i, groupFrom);
        const std::size_t groupTo = std::max(groupFrom, std::min(j / kFanOut * kFanOut, Entries(tier + 1) * kFanOut));
        takeEntries(right, groupTo, j);
        i = groupFrom / kFanOut, j = groupTo / kFanOut;
    }

    Found found;
    const Side& low = right.lowestAt.found && (!left.lowestAt.found || right.lowest < left.lowest) ? right : left;
    found.lowest = low.lowest, found.lowestAt = low.lowestAt;
    const Side& high = right.highestAt.found && (!left.highestAt.found || right.highest > left.highest) ? right : left;
    found.highest = high.highest, found.highestAt = high.highestAt;
    found.firstGap = left.firstGapAt.found ? left.firstGapAt : right.firstGapAt;
    found.lastGap = right.lastGapAt.found ? right.lastGapAt : left.lastGapAt;
    return found;
}

// Down from a part to the first of its points holding its lowest (or highest) value: the first
// entry of the part that holds it, then at each level the first child that does.
std::size_t SeriesSummary::PointHolding(const PointsView& points, Place at, double value,
                                        double Extremes::*extreme) const
{
    if (at.level > 0)
        while (levels_[at.level - 1].entries[at.index].*extreme != value) ++at.index;
    for (; at.level > 1; --at.level) {
        const Level& below = levels_[at.level - 2];
        std::size_t child = at.index * kFanOut;
        while (below.entries[child].*extreme != value) ++child;
        at.index = child;
    }
    std::size_t i = at.level == 0 ? at.index : at.index * kLeafPoints;
    while (points.Value(i) != value) ++i;
    return i;
}

// Down from a part to its first (or last) gap: the first (or last) entry of the part that holds
// one, then at each level the first (or last) child that does.
std::size_t SeriesSummary::GapPoint(const PointsView& points, Place at, bool lastGap) const
{
    if (at.level > 0) {
        const Level& level = levels_[at.level - 1];
        if (lastGap) at.index = at.end - 1;
        while (!level.Gap(at.index)) lastGap ? --at.index : ++at.index;
    }
    for (; at.level > 1; --at.level) {
        const Level& below = levels_[at.level - 2];
        std::size_t child = lastGap ? at.index * kFanOut + kFanOut - 1 : at.index * kFanOut;
        while (!below.Gap(child)) lastGap ? --child : ++child;
        at.index = child;
    }
    if (at.level == 1) at.index *= kLeafPoints, at.end = at.index + kLeafPoints;
    std::size_t i = lastGap ? at.end - 1 : at.index;
    while (Finite(points.Value(i))) lastGap ? --i : ++i;
    return i;
}

void SeriesSummary::AppendRun(const PointsView& points, std::size_t first, std::size_t last, const Found& found,
                              std::vector<std::size_t>& drawn) const
{
    std::size_t run[] = {first, PointHolding(points, found.lowestAt, found.lowest, &Extremes::lowest),
                         PointHolding(points, found.highestAt, found.highest, &Extremes::highest), last - 1};
    std::sort(run, run + 4);
    for (std::size_t i = 0; i < 4; ++i)
        if (i == 0 || run[i] != run[i - 1]) drawn.push_back(run[i]);
}

void SeriesSummary::AppendColumn(const PointsView& points, std::size_t first, std::size_t last,
                                 std::vector<std::size_t>& drawn) const
{
    const Found found = Scan(points, first, last);
    if (!found.firstGap.found) {
        AppendRun(points, first, last, found, drawn);
        return;
    }
    const std::size_t firstGap = GapPoint(points, found.firstGap, false);
    const std::size_t lastGap = GapPoint(points, found.lastGap, true);
    if (first < firstGap) AppendRun(points, first, firstGap, Scan(points, first, firstGap), drawn);
    drawn.push_back(firstGap);
    if (lastGap != firstGap) drawn.push_back(lastGap);
    if (lastGap + 1 < last) AppendRun(points, lastGap + 1, last, Scan(points, lastGap + 1, last), drawn);
}

void SeriesSummary::Columns(const PointsView& points, std::size_t first, std::size_t last, double lower, double upper,
                            std::size_t columns, std::vector<std::size_t>& drawn) const
{
    if (first >= last) return;
    const double firstKey = points.Key(first), keySpan = points.Key(last - 1) - firstKey;
    const auto boundOf = [&](std::size_t column) {
        return lower + (upper - lower) * static_cast<double>(column) / static_cast<double>(columns);
    };
    // The points lie about evenly in x, as a run's do: a bound's place is guessed from its key.
    const auto guessOf = [&](double bound) {
        const double share = (bound - firstKey) / keySpan;
        return share > 0
                   ? share < 1 ? first + static_cast<std::size_t>(share * static_cast<double>(last - first)) : last
                   : first;
    };
    std::size_t from = first;
    for (std::size_t column = 0; column <= columns; ++column) {
        if (column + kColumnsAhead <= columns) Prefetch(points, guessOf(boundOf(column + kColumnsAhead)));
        const double bound = boundOf(column);
        const std::size_t to = LowerBoundFrom(points, from, last, bound, std::max(guessOf(bound), from));
        if (from < to) AppendColumn(points, from, to, drawn);
        from = to;
    }
    if (from < last) AppendColumn(points, from, last, drawn);
}

// What a column bound's scan reads, asked of memory ahead: the block of points it falls in and
// the summary's entries about it at every level. Each column's scan otherwise waits on memory
// several times, once the points outgrow the caches.
void SeriesSummary::Prefetch(const PointsView& points, std::size_t point) const
{
    if (point >= points.count) return;
    const std::size_t blockStart = point / kLeafPoints * kLeafPoints;
    const std::size_t blockEnd = std::min(points.count, blockStart + kLeafPoints);
    constexpr std::size_t kLine = 64;
    const auto* begin = reinterpret_cast<const char*>(points.keys + blockStart * points.stride);
    const auto* end = reinterpret_cast<const char*>(points.keys + blockEnd * points.stride);
    for (const char* line = begin; line < end; line += kLine) __builtin_prefetch(line);
    std::size_t entry = point / kLeafPoints;
    for (const Level& level : levels_) {
        if (entry >= level.entries.size()) break;
        const std::size_t group = entry / kFanOut * kFanOut;
        __builtin_prefetch(&level.entries[group]);
        __builtin_prefetch(&level.entries[std::min(group + kFanOut - 1, level.entries.size() - 1)]);
        entry /= kFanOut;
    }
}

std::size_t LowerBoundFrom(const PointsView& points, std::size_t first, std::size_t last, double key, std::size_t guess)
{
    guess = std::clamp(guess, first, last);
    std::size_t lo, hi; // the answer lies in [lo, hi]
    if (guess < last && points.Key(guess) < key) {
        lo = guess + 1, hi = lo;
        for (std::size_t step = 1; hi < last && points.Key(hi) < key; step *= 2)
            lo = hi + 1, hi = std::min(last, lo + step);
    } else {
        hi = guess, lo = guess;
        for (std::size_t step = 1; lo > first && points.Key(lo - 1) >= key; step *= 2)
            hi = lo - 1, lo = hi - std::min(step, hi - first);
    }
    while (lo < hi) {
        const std::size_t middle = lo + (hi - lo) / 2;
        if (points.Key(middle) < key) lo = middle + 1;
        else hi = middle;
    }
    return lo;
}
