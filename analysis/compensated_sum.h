// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace analysis {

// A running sum that terms enter and leave for ever (Neumaier's compensated summation): the low
// digits each addition rounds away are kept in a second number, so after a million big terms
// have come and gone a sum of small ones still has its digits.
class CompensatedSum {
public:
    void add(double term) {
        const double total = sum_ + term;
        correction_ +=
            std::fabs(sum_) >= std::fabs(term) ? (sum_ - total) + term : (term - total) + sum_;
        sum_ = total;
    }
    double value() const { return sum_ + correction_; }

private:
    double sum_ = 0;
    double correction_ = 0;
};

} // namespace analysis
