// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/running_median.h"

#include <algorithm>
#include <functional>

namespace analysis {

void RunningMedian::add(double value) {
    if (lower_.empty() || value <= lower_.front()) {
        lower_.push_back(value);
        std::push_heap(lower_.begin(), lower_.end());
    } else {
        upper_.push_back(value);
        std::push_heap(upper_.begin(), upper_.end(), std::greater<>());
    }
    if (lower_.size() > upper_.size() + 1) {
        std::pop_heap(lower_.begin(), lower_.end());
        upper_.push_back(lower_.back());
        lower_.pop_back();
        std::push_heap(upper_.begin(), upper_.end(), std::greater<>());
    } else if (upper_.size() > lower_.size()) {
        std::pop_heap(upper_.begin(), upper_.end(), std::greater<>());
        lower_.push_back(upper_.back());
        upper_.pop_back();
        std::push_heap(lower_.begin(), lower_.end());
    }
}

std::size_t RunningMedian::memoryBytes() const {
    return (lower_.size() + upper_.size()) * sizeof(double);
}

} // namespace analysis
