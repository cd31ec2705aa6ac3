// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_array.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace graph {

PointArray::PointArray(std::initializer_list<Point> points) {
    for (const Point& p : points)
        add(p);
}

PointArray::PointArray(std::shared_ptr<const PointSource> source) : source_(std::move(source)) {}

PointBlock PointArray::block(std::size_t index) const {
    const std::size_t count = std::min(kBlockSize, size_ - index * kBlockSize);
    if (source_) {
        PointBlock block = source_->block(index);
        block.count = count;
        return block;
    }
    return {count, {.values = xBlocks_[index].data()}, {.values = yBlocks_[index].data()}};
}

void PointArray::add(Point point) {
    // The last block grows by a quarter at a time, up to kBlockSize, so that at most a quarter
    // of one block stands empty, however long or short the trace.
    if (xBlocks_.empty() || xBlocks_.back().size() == kBlockSize) {
        xBlocks_.emplace_back();
        yBlocks_.emplace_back();
        summaries_.emplace_back();
    }
    std::vector<double>& xs = xBlocks_.back();
    std::vector<double>& ys = yBlocks_.back();
    if (xs.size() == xs.capacity()) {
        const std::size_t grown =
            std::min(std::max<std::size_t>(xs.capacity() + xs.capacity() / 4, 64), kBlockSize);
        xs.reserve(grown);
        ys.reserve(grown);
        summaries_.back().reserve(grown / RunSummary::kPoints);
    }
    xs.push_back(point.x);
    ys.push_back(point.y);
    take(PointBlock{ys.size(), {.values = xs.data()}, {.values = ys.data()}}, ys.size() - 1);
}

void PointArray::follow(std::size_t count) {
    const std::size_t end = std::min(count, source_->size());
    while (size_ < end) {
        const std::size_t b = size_ / kBlockSize;
        if (b == summaries_.size()) {
            summaries_.emplace_back();
            summaries_.back().reserve(kBlockSize / RunSummary::kPoints);
        }
        const PointBlock block = source_->block(b);
        const std::size_t blockEnd = std::min(end - b * kBlockSize, block.size());
        for (std::size_t i = size_ % kBlockSize; i < blockEnd; ++i)
            take(block, i);
    }
}

void PointArray::take(const PointBlock& block, std::size_t index) {
    const Point point = block[index];
    if (!std::isfinite(point.x) || (size_ != 0 && point.x < lastX_))
        xInOrder_ = false;
    lastX_ = point.x;
    ++size_;
    if (size_ % RunSummary::kPoints == 0)
        summariseLastRun(block.subspan(index + 1 - RunSummary::kPoints, RunSummary::kPoints));
    x_.include(point.x);
    y_.include(point.y);
}

void PointArray::summariseLastRun(const PointBlock& run) {
    RunSummary summary;
    std::iota(summary.byY.begin(), summary.byY.end(), std::uint8_t{0});
    std::array<double, RunSummary::kPoints> y;
    for (std::size_t i = 0; i < RunSummary::kPoints; ++i)
        y[i] = run.y[i];
    const bool finite = std::all_of(y.begin(), y.end(), [](double v) { return std::isfinite(v); });
    if (finite) {
        // The values sorted beside their places, not the places by their values: no look-up per
        // comparison. Equal values may come in any order; they map to the same pixels.
        std::array<std::pair<double, std::uint8_t>, RunSummary::kPoints> sorted;
        for (std::size_t i = 0; i < RunSummary::kPoints; ++i)
            sorted[i] = {y[i], static_cast<std::uint8_t>(i)};
        std::sort(sorted.begin(), sorted.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < RunSummary::kPoints; ++i)
            summary.byY[i] = sorted[i].second;
    }
    summary.low = finite ? y[summary.byY.front()] : std::nan("");
    summary.high = finite ? y[summary.byY.back()] : std::nan("");
    summary.middle = finite ? y[summary.byY[RunSummary::kPoints / 2]] : std::nan("");
    summary.last = run[RunSummary::kPoints - 1];
    summaries_.back().push_back(summary);
    summariseLastGroups();
}

void PointArray::summariseLastGroups() {
    for (std::size_t level = 0; level < GroupSummary::kLevels; ++level) {
        if (size_ % GroupSummary::points(level) != 0)
            return;
        // The parts of the new group: its runs, or its groups one level down.
        GroupSummary group{
            std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(), {}};
        bool finite = true;
        for (std::size_t part = 0; part < GroupSummary::kBranch; ++part) {
            const std::size_t index = size_ / GroupSummary::points(level) * GroupSummary::kBranch -
                                      GroupSummary::kBranch + part;
            const GroupSummary below =
                level == 0
                    ? GroupSummary{summary(index).low, summary(index).high, summary(index).last}
                    : groups_[level - 1][index];
            finite = finite && !std::isnan(below.low);
            group.low = std::min(group.low, below.low);
            group.high = std::max(group.high, below.high);
            group.last = below.last;
        }
        if (!finite)
            group.low = group.high = std::nan("");
        std::vector<GroupSummary>& groups = groups_[level];
        // Grown by a quarter at a time, as the points' own blocks.
        if (groups.size() == groups.capacity())
            groups.reserve(std::max<std::size_t>(groups.capacity() + groups.capacity() / 4, 16));
        groups.push_back(group);
    }
}

void PointArray::breakLine() {
    if (size_ != 0 && (breaks_.empty() || breaks_.back() != size_))
        breaks_.push_back(size_);
}

void PointArray::clear() {
    *this = PointArray();
}

std::size_t PointArray::allocatedBytes() const {
    std::size_t bytes = (xBlocks_.capacity() + yBlocks_.capacity()) * sizeof(std::vector<double>) +
                        summaries_.capacity() * sizeof(std::vector<RunSummary>);
    for (std::size_t b = 0; b < xBlocks_.size(); ++b)
        bytes += (xBlocks_[b].capacity() + yBlocks_[b].capacity()) * sizeof(double);
    for (const auto& runs : summaries_)
        bytes += runs.capacity() * sizeof(RunSummary);
    for (const auto& groups : groups_)
        bytes += groups.capacity() * sizeof(GroupSummary);
    bytes += breaks_.capacity() * sizeof(std::size_t);
    bytes += rowSets_.allocatedBytes();
    return bytes;
}

} // namespace graph
