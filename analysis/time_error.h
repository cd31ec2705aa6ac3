// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/total_deviation.h"

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// Time interval error of the phase x of one segment (M points, any unit), for ascending factors m
// (each <= M - 2; larger ones get no terms):
// - maximum: the largest max - min of x over any window of m + 1 consecutive points, M - m
//   windows;
// - squares: the sum of (x_(i+m) - x_i)^2 over its M - m terms; TIE rms = sqrt(sum / terms).
// The maxima come from windows of 2^j points built by doubling, each factor's window covered by
// two of them, so all factors together take O(M log M), not a rescan per factor.
struct TimeErrors {
    std::vector<double> maximum;
    std::vector<SquareSum> squares;
};
TimeErrors timeErrors(std::span<const double> x, std::span<const std::int64_t> factors);

} // namespace analysis
