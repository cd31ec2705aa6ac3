// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/reading_series.h"

#include <algorithm>

namespace analysis {

void ReadingSeries::add(double timeMs, double value, Quantity quantity, bool gapBefore) {
    if (gapBefore) {
        gaps_.push_back(values_.size());
    }
    if (quantities_.empty() || quantities_.back().quantity != quantity) {
        quantities_.push_back({values_.size(), quantity});
    }
    timeMs_.push_back(timeMs);
    values_.push_back(value);
}

ReadingBlock ReadingSeries::block(std::size_t index) const {
    const std::size_t first = index * kBlockReadings;
    return {first,
            std::min(kBlockReadings, values_.size() - first),
            values_.data() + first,
            nullptr,
            0,
            timeMs_.data() + first};
}

} // namespace analysis
