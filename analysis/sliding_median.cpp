// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/sliding_median.h"

namespace analysis {

void SlidingMedian::add(double value) {
    if (lower_.empty() || value <= *lower_.rbegin()) {
        lower_.insert(value);
    } else {
        upper_.insert(value);
    }
    balance();
}

void SlidingMedian::remove(double value) {
    if (const auto it = lower_.find(value); it != lower_.end()) {
        lower_.erase(it);
    } else if (const auto high = upper_.find(value); high != upper_.end()) {
        upper_.erase(high);
    }
    balance();
}

void SlidingMedian::clear() {
    lower_.clear();
    upper_.clear();
}

bool SlidingMedian::anyIn(double from, double to) const {
    for (const std::multiset<double>* half : {&lower_, &upper_}) {
        const auto it = half->lower_bound(from);
        if (it != half->end() && *it < to) {
            return true;
        }
    }
    return false;
}

void SlidingMedian::balance() {
    if (lower_.size() > upper_.size() + 1) {
        const auto top = std::prev(lower_.end());
        upper_.insert(*top);
        lower_.erase(top);
    } else if (upper_.size() > lower_.size()) {
        lower_.insert(*upper_.begin());
        upper_.erase(upper_.begin());
    }
}

} // namespace analysis
