// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

namespace analysis {

// The lower median of a growing set of numbers (the middle one, the lower of the two middle ones
// for an even count), in O(log d) per number for d distinct numbers: each distinct number is kept
// once with its count, and the median moves by at most one of them per number added. The
// intervals between arrival times in whole milliseconds take a few dozen distinct values however
// long the run.
class RunningMedian {
public:
    void add(double value);
    double lowerMedian() const { return count_ == 0 ? 0 : median_; }
    std::size_t memoryBytes() const;

private:
    std::map<double, std::int64_t> counts_;
    std::int64_t count_ = 0;
    double median_ = 0;
    std::int64_t below_ = 0; // numbers smaller than the median
};

} // namespace analysis
