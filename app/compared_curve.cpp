// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/compared_curve.h"

#include <algorithm>

namespace app {

ComparedCurve::ComparedCurve(recording::ReadingTable readings, analysis::Comparison comparison)
    : readings_(std::move(readings)),
      values_(analysis::comparedValues(readings_, readings_.size(), comparison)) {}

graph::PointBlock ComparedCurve::block(std::size_t index) const {
    const analysis::ReadingBlock view = readings_.block(index);
    const std::size_t first = index * recording::ReadingTable::kBlockReadings;
    const std::size_t count = std::min(view.count, values_.size() - first);
    constexpr double kMsPerSecond = 1000;
    return {count,
            {view.times, view.ticks, static_cast<double>(view.baseMs), kMsPerSecond},
            {.values = values_.data() + first}};
}

} // namespace app
