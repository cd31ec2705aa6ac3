// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/sliding_median.h"

namespace analysis {

void SlidingMedian::add(double value) {
    if (lower_.empty() || value <= lower_.rbegin()->first) {
        ++lower_[value];
        ++lowerCount_;
    } else {
        ++upper_[value];
        ++upperCount_;
    }
    balance();
}

void SlidingMedian::remove(double value) {
    if (const auto it = lower_.find(value); it != lower_.end()) {
        take(lower_, it);
        --lowerCount_;
    } else if (const auto high = upper_.find(value); high != upper_.end()) {
        take(upper_, high);
        --upperCount_;
    }
    balance();
}

bool SlidingMedian::anyIn(double from, double to) const {
    for (const Counts* half : {&lower_, &upper_}) {
        const auto it = half->lower_bound(from);
        if (it != half->end() && it->first < to) {
            return true;
        }
    }
    return false;
}

void SlidingMedian::take(Counts& counts, Counts::iterator it) {
    if (--it->second == 0) {
        counts.erase(it);
    }
}

void SlidingMedian::balance() {
    if (lowerCount_ > upperCount_ + 1) {
        const auto top = std::prev(lower_.end());
        ++upper_[top->first];
        take(lower_, top);
        --lowerCount_;
        ++upperCount_;
    } else if (upperCount_ > lowerCount_) {
        const auto bottom = upper_.begin();
        ++lower_[bottom->first];
        take(upper_, bottom);
        --upperCount_;
        ++lowerCount_;
    }
}

} // namespace analysis
