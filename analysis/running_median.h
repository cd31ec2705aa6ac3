// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>

namespace analysis {

// The lower median of a growing set of numbers (the middle one, the lower of the two middle ones
// for an even count), in O(log n) per number: the lower half in a max-heap, the upper half in a
// min-heap. The heaps live in deques, which grow without moving what they hold.
class RunningMedian {
public:
    void add(double value);
    double lowerMedian() const { return lower_.empty() ? 0 : lower_.front(); }
    std::size_t memoryBytes() const;

private:
    std::deque<double> lower_; // max-heap, holds ceil(n / 2)
    std::deque<double> upper_; // min-heap, holds floor(n / 2)
};

} // namespace analysis
