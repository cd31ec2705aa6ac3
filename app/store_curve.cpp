// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/store_curve.h"

#include "graph/point_array.h"

namespace app {

static_assert(recording::ReadingTable::kBlockReadings == graph::PointArray::kBlockSize,
              "a block of the store is a block of the graph's points");

graph::PointBlock StoreCurve::block(std::size_t index) const {
    const analysis::ReadingBlock view = readings_->block(index);
    constexpr double kMsPerSecond = 1000;
    return {view.count,
            {view.times, view.ticks, static_cast<double>(view.baseMs), kMsPerSecond},
            {view.values, view.valueTicks, view.valueBase, view.valueDivisor, view.valueFactor}};
}

void takeInBrokenAtGaps(graph::PointArray& points, const std::vector<recording::PlacedGap>& gaps) {
    for (const recording::PlacedGap& gap : gaps) {
        points.follow(gap.beforeReading);
        points.breakLine();
    }
    points.follow();
}

} // namespace app
