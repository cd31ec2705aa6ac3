// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace analysis {

// Long sums in sixteen lanes side by side, four vectors none of which waits for another; AVX2
// where the processor has it.

// sum of values[i] weights[i]: for terms of one sign good to some roundings times the square root
// of count / 16, no worse than count / 16 roundings.
double weightedSum(const double* values, const double* weights, std::size_t count);

// sum over p = 0 .. M-1-lag of (x_(p+lag) - x_p)^2: the same.
double lagSquareSum(std::span<const double> x, std::int64_t lag);
// The same to a rounding or two, each addition's rounding kept (Knuth's error-free addition), at
// three times the cost.
double keptLagSquareSum(std::span<const double> x, std::int64_t lag);

} // namespace analysis
