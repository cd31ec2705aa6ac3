// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_array.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace graph {

PointArray::PointArray(std::initializer_list<Point> points) {
    for (const Point& p : points)
        add(p);
}

void PointArray::add(Point point) {
    // The last block grows by a quarter at a time, up to kBlockSize, so that at most a quarter
    // of one block stands empty, however long or short the trace.
    if (blocks_.empty() || blocks_.back().size() == kBlockSize) {
        blocks_.emplace_back();
        summaries_.emplace_back();
    }
    std::vector<Point>& block = blocks_.back();
    if (block.size() == block.capacity()) {
        const std::size_t grown = block.capacity() + block.capacity() / 4;
        block.reserve(std::min(std::max<std::size_t>(grown, 64), kBlockSize));
        summaries_.back().reserve(block.capacity() / RunSummary::kPoints);
    }
    if (!std::isfinite(point.x) || (size_ != 0 && point.x < (*this)[size_ - 1].x))
        xInOrder_ = false;
    block.push_back(point);
    ++size_;
    if (size_ % RunSummary::kPoints == 0)
        summariseLastRun();
    x_.include(point.x);
    y_.include(point.y);
}

void PointArray::summariseLastRun() {
    const std::span<const Point> run =
        std::span<const Point>(blocks_.back()).last(RunSummary::kPoints);
    RunSummary summary;
    std::iota(summary.byY.begin(), summary.byY.end(), std::uint8_t{0});
    const bool finite =
        std::all_of(run.begin(), run.end(), [](const Point& p) { return std::isfinite(p.y); });
    if (finite)
        std::sort(summary.byY.begin(), summary.byY.end(),
                  [&](std::uint8_t a, std::uint8_t b) { return run[a].y < run[b].y; });
    summary.low = finite ? run[summary.byY.front()].y : std::nan("");
    summary.high = finite ? run[summary.byY.back()].y : std::nan("");
    summary.middle = finite ? run[summary.byY[RunSummary::kPoints / 2]].y : std::nan("");
    summary.last = run.back();
    summaries_.back().push_back(summary);
    if (size_ % GroupSummary::kPoints == 0)
        summariseLastGroup();
}

void PointArray::summariseLastGroup() {
    const std::span<const RunSummary> runs =
        std::span<const RunSummary>(summaries_.back()).last(GroupSummary::kRuns);
    GroupSummary group{runs.front().low, runs.front().high, runs.back().last};
    for (const RunSummary& run : runs) {
        if (std::isnan(run.low) || std::isnan(group.low)) {
            group.low = std::nan("");
            continue;
        }
        group.low = std::min(group.low, run.low);
        group.high = std::max(group.high, run.high);
    }
    groups_.push_back(group);
}

void PointArray::breakLine() {
    if (size_ != 0 && (breaks_.empty() || breaks_.back() != size_))
        breaks_.push_back(size_);
}

void PointArray::clear() {
    breaks_.clear();
    breaks_.shrink_to_fit();
    blocks_.clear();
    blocks_.shrink_to_fit();
    summaries_.clear();
    summaries_.shrink_to_fit();
    groups_.clear();
    groups_.shrink_to_fit();
    xInOrder_ = true;
    size_ = 0;
    x_ = {};
    y_ = {};
}

std::size_t PointArray::allocatedBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(std::vector<Point>) +
                        summaries_.capacity() * sizeof(std::vector<RunSummary>);
    for (const auto& block : blocks_)
        bytes += block.capacity() * sizeof(Point);
    for (const auto& runs : summaries_)
        bytes += runs.capacity() * sizeof(RunSummary);
    bytes += groups_.capacity() * sizeof(GroupSummary);
    bytes += breaks_.capacity() * sizeof(std::size_t);
    return bytes;
}

} // namespace graph
