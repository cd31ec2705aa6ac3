// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/phase_series.h"

#include <cmath>

namespace analysis {

void PhaseSeries::add(double value, bool gapBefore) {
    if (gapBefore || !std::isfinite(value)) {
        segmentOpen_ = false;
    }
    if (!std::isfinite(value)) {
        return;
    }
    if (values_ == 0) {
        first_ = value;
    }
    const double offset = value - first_;
    sumOfOffsets_ += offset;
    ++values_;
    if (!segmentOpen_) {
        segmentStarts_.push_back(phase_.size());
        phase_.push_back(0);
        segmentOpen_ = true;
    }
    phase_.push_back(phase_.back() + offset);
}

std::size_t PhaseSeries::segmentPoints(std::size_t s) const {
    const std::size_t end = s + 1 < segmentStarts_.size() ? segmentStarts_[s + 1] : phase_.size();
    return end - segmentStarts_[s];
}

double PhaseSeries::mean() const {
    return values_ > 0 ? first_ + sumOfOffsets_ / static_cast<double>(values_) : 0;
}

double PhaseSeries::meanOffset() const {
    return values_ > 0 ? sumOfOffsets_ / static_cast<double>(values_) : 0;
}

std::size_t PhaseSeries::memoryBytes() const {
    return phase_.memoryBytes() + segmentStarts_.capacity() * sizeof(std::size_t);
}

} // namespace analysis
