// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/total_deviation.h"

#include <cstdint>
#include <span>

namespace analysis {

class WorkMeter;

// For each of the z.size() - 3m + 1 stretches of 3m values of z: the slope between the means of
// its first and last half taken out, the stretch reflected evenly at both ends to 9m values, and
// the sum of its 6m squared second differences of m-value sums s1 - 2 s2 + s3, divided by 6m;
// the sum over the stretches, terms = their number. 3m <= z.size().
//
// Not stretch by stretch, which costs O(m) each: every such sum is a fixed quadratic form in the
// stretch's prefix sums, and over all stretches its parts become sums along a few diagonals,
// anti-diagonals and rows of lagged products of one prefix sum, each read off further prefix
// sums: O(z.size()) for any m. meter as for modifiedTotalSum.
SquareSum reflectedSquareSum(std::span<const double> z, std::int64_t m, WorkMeter* meter);

// Its work in elementary steps.
std::uint64_t reflectedSquareWork(std::int64_t points, std::int64_t m);

} // namespace analysis
