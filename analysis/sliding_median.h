// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <set>

namespace analysis {

// The lower median of numbers that enter and leave (a sliding window), in O(log n) per change:
// the lower half and the upper half in two ordered sets.
class SlidingMedian {
public:
    void add(double value);
    // Removes one number equal to value; one must be held.
    void remove(double value);
    void clear();
    // 0 without numbers.
    double lowerMedian() const { return lower_.empty() ? 0 : *lower_.rbegin(); }
    // Whether a number lies in [from, to).
    bool anyIn(double from, double to) const;

private:
    void balance();

    std::multiset<double> lower_; // ceil(n / 2) numbers
    std::multiset<double> upper_; // floor(n / 2)
};

} // namespace analysis
