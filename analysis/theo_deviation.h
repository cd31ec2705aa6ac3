// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/total_deviation.h"

#include <cstdint>
#include <span>

namespace analysis {

// Theo1 of NIST SP 1065 eq. (30) on the phase x of one segment (M points, any unit), m even:
//   sum over i = 0 .. M - m - 1 and d = 0 .. m/2 - 1 of
//   (x_i - x_(i - d + m/2) + x_(i + m) - x_(i + d + m/2))^2 / (m/2 - d),
// terms M - m; Theo1^2 = sum / (0.75 m^2 (M - m)) in units of tau0, at tau = 0.75 m tau0. The sum
// does not change when a straight line is added to x. 2 <= m <= M - 1.
// meter as for modifiedTotalSum.
SquareSum theo1Sum(std::span<const double> x, std::int64_t m, WorkMeter* meter = nullptr);

// The overlapping Allan sum at factor m: the squared second differences, M - 2m terms.
SquareSum allanSum(std::span<const double> x, std::int64_t m);

// Theo1's work for factor m on M points, in elementary steps.
std::uint64_t theo1Work(std::int64_t points, std::int64_t m);

} // namespace analysis
