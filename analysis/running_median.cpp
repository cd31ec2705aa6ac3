// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/running_median.h"

namespace analysis {

void RunningMedian::add(double value) {
    ++counts_[value];
    ++count_;
    if (count_ == 1) {
        median_ = value;
        return;
    }
    if (value < median_) {
        ++below_;
    }
    // The median is the number at index (count - 1) / 2 of the sorted numbers.
    const std::int64_t target = (count_ - 1) / 2;
    auto median = counts_.find(median_);
    while (target < below_) {
        --median;
        below_ -= median->second;
    }
    while (target >= below_ + median->second) {
        below_ += median->second;
        ++median;
    }
    median_ = median->first;
}

std::size_t RunningMedian::memoryBytes() const {
    // A tree node: three links, its colour and the pair.
    constexpr std::size_t kNodeBytes = 4 * sizeof(void*) + sizeof(double) + sizeof(std::int64_t);
    return counts_.size() * kNodeBytes;
}

} // namespace analysis
