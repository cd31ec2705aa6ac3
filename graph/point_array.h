// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/extremes.h"
#include "graph/point_source.h"
#include "graph/row_sets.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace graph {

// What a run of kSummaryPoints points holds, whatever the mapping to pixels: the lowest, middle
// and highest y, the last point, and the order of the points by y (offsets into the run), so that
// the pixel rows a run reaches can be found by bisection. A run with a y that is not finite has low
// set to NaN. A repaint walks the summaries in order and reads a run's points only where the run
// needs more than these, so most runs cost no fetch from the points' memory.
struct RunSummary {
    static constexpr std::size_t kPoints = 64;
    double low;
    double high;
    double middle; // the y in the middle of the order, byY[kPoints / 2]
    Point last;
    std::array<std::uint8_t, kPoints> byY;
};

// What a group of consecutive points holds: its lowest and highest y (NaN when a y is not
// finite) and its last point. Groups come in levels: a group of level 0 is kBranch runs, one of
// level l + 1 is kBranch groups of level l, and the last level is a whole block. A repaint takes a
// stretch of points that changes nothing in its pixel column from the fewest groups that make it
// up, so its cost follows the number of columns, not of points.
struct GroupSummary {
    static constexpr std::size_t kBranch = 4;
    static constexpr std::size_t kLevels = 5;
    static constexpr std::size_t points(std::size_t level) {
        return RunSummary::kPoints << (2 * (level + 1));
    }
    double low;
    double high;
    Point last;
};
static_assert(GroupSummary::points(0) == GroupSummary::kBranch * RunSummary::kPoints);

// The points of one trace, in the order added. Append-only apart from Clear, so the running
// extremes of x and y stay exact without ever rescanning the points.
//
// The points are the array's own, added one by one, or those of a PointSource that holds them
// elsewhere (the window's store of readings), taken in as the source gains them; either way they
// are read in blocks of at most kBlockSize in columns. Its own points live in blocks of which
// only the last has room to spare, so a long trace costs 16 bytes per point; the run summaries
// cost 1.625 more and the group summaries 0.17, and are all a trace on a source keeps per point.
class PointArray {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 16;
    static_assert(kBlockSize == GroupSummary::points(GroupSummary::kLevels - 1),
                  "a group never spans two blocks, and the largest is one");

    PointArray() = default;
    PointArray(std::initializer_list<Point> points);
    // The points of `source`, none of them taken in yet.
    explicit PointArray(std::shared_ptr<const PointSource> source);

    // One point of its own; not on a trace that follows a source.
    void add(Point point);
    // Takes in the points the source has gained, up to `count` points in all.
    void follow(std::size_t count = std::numeric_limits<std::size_t>::max());
    bool followsSource() const { return source_ != nullptr; }
    // The line does not join the last point added to the next one: the trace has a gap there.
    // Nothing before the first point, and once between two points.
    void breakLine();
    // No points; points are its own again.
    void clear();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Point operator[](std::size_t index) const {
        return block(index / kBlockSize)[index % kBlockSize];
    }

    // Contiguous runs of points in order, for tight loops over all of them.
    std::size_t blockCount() const { return (size_ + kBlockSize - 1) / kBlockSize; }
    PointBlock block(std::size_t index) const;

    // One summary per complete run of RunSummary::kPoints points, run i starting at point
    // i * kPoints; the points after the last complete run have none.
    const RunSummary& summary(std::size_t index) const {
        constexpr std::size_t kRunsPerBlock = kBlockSize / RunSummary::kPoints;
        return summaries_[index / kRunsPerBlock][index % kRunsPerBlock];
    }
    // One summary per complete group of GroupSummary::points(level) points, group i of the level
    // starting at point i * GroupSummary::points(level).
    const GroupSummary& group(std::size_t level, std::size_t index) const {
        return groups_[level][index];
    }
    // Indices of the points the line does not reach from the point before, ascending; the last
    // may be size(), the next point to come.
    const std::vector<std::size_t>& breaks() const { return breaks_; }
    // True while every x is finite and none is smaller than the one before.
    bool xInOrder() const { return xInOrder_; }

    const Extremes& xExtremes() const { return x_; }
    const Extremes& yExtremes() const { return y_; }

    // The rows its stretches reached in the last repaint, which the drawing keeps here so that
    // they go with the points they describe.
    RowSets& rowSets() const { return rowSets_; }

    // Heap bytes held for the points and what the drawing keeps with them.
    std::size_t allocatedBytes() const;

private:
    // Takes in point `index` of `block`, the point after the last one taken.
    void take(const PointBlock& block, std::size_t index);
    void summariseLastRun(const PointBlock& run);
    void summariseLastGroups();

    std::shared_ptr<const PointSource> source_;
    // The points of its own, each column in blocks.
    std::vector<std::vector<double>> xBlocks_;
    std::vector<std::vector<double>> yBlocks_;
    std::vector<std::vector<RunSummary>> summaries_; // one list per block, grown with it
    std::array<std::vector<GroupSummary>, GroupSummary::kLevels> groups_;
    std::vector<std::size_t> breaks_;
    std::size_t size_ = 0;
    double lastX_ = 0;
    bool xInOrder_ = true;
    Extremes x_;
    Extremes y_;
    mutable RowSets rowSets_;
};

} // namespace graph
