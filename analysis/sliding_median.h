// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <map>

namespace analysis {

// The lower median of numbers that enter and leave (a sliding window), in O(log d) per change,
// d the distinct numbers held: the lower and the upper half as ordered counts. Intervals between
// time stamps take few distinct values, so the halves stay small however long the window.
class SlidingMedian {
public:
    void add(double value);
    // Removes one number equal to value; one must be held.
    void remove(double value);
    // 0 without numbers.
    double lowerMedian() const { return lower_.empty() ? 0 : lower_.rbegin()->first; }
    // Whether a number lies in [from, to).
    bool anyIn(double from, double to) const;

private:
    using Counts = std::map<double, std::size_t>;
    static void take(Counts& counts, Counts::iterator it);
    void balance();

    Counts lower_; // ceil(n / 2) numbers
    Counts upper_; // floor(n / 2)
    std::size_t lowerCount_ = 0;
    std::size_t upperCount_ = 0;
};

} // namespace analysis
