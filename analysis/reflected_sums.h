// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/total_deviation.h"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

class WorkMeter;

// a - b - rise t, rounded once: a - b and rise t are formed exactly as sums of two numbers
// (Knuth's two-sum, the fused multiply-add's remainder), and their leading parts, alike where the
// result is small, cancel exactly. The phase less a line through two of its points keeps its
// noise's digits however far above them the line has run (a frequency offset a billion times
// the noise).
[[gnu::always_inline]] inline double lineResidual(double a, double b, double rise, double t) {
    const double difference = a - b;
    const double back = difference - a;
    const double differenceError = (a - (difference - back)) + (-b - back);
    const double product = rise * t;
    const double productError = std::fma(rise, t, -product);
    return (difference - product) + (differenceError - productError);
}

// For each of the z.size() - 3m + 1 stretches of 3m values of z: the slope between the means of
// its first and last half taken out, the stretch reflected evenly at both ends to 9m values, and
// the sum of its 6m squared second differences of m-value sums s1 - 2 s2 + s3, divided by 6m;
// the sum over the stretches, terms = their number. 3m <= z.size().
//
// Not stretch by stretch, which costs O(m) each: every such sum is a fixed quadratic form in the
// stretch's prefix sums, and over all stretches its parts become sums along a few diagonals,
// anti-diagonals and rows of lagged products of one prefix sum, each read off further prefix
// sums: O(z.size()) for any m. The stretches go in blocks of about 4m, each block's prefix sums
// without their least-squares parabola, which no sum sees: the products stay near the size of
// the result, and the sums agree with the stretch-by-stretch ones to 1e-13 or so whatever the
// offset, drift or m (see blockSumBody). Blocks of up to a few thousand values are worked on four
// side by side, one vector lane each; the blocks' sums are added in order, so the result does not
// depend on the number of threads. meter as for modifiedTotalSum.
SquareSum reflectedSquareSum(std::span<const double> z, std::int64_t m, WorkMeter* meter);

// The same for the values z whose prefix sums are given, z_t = prefix[t + 1] - prefix[t]
// (HTOTDEV: the frequencies, given as the phase), without forming z.
SquareSum reflectedPrefixSquareSum(std::span<const double> prefix, std::int64_t m,
                                   WorkMeter* meter);

// The same at several factors at once, the work of all of them spread over the threads together
// (a factor too large for z has no terms).
std::vector<SquareSum> reflectedSquareSums(std::span<const double> z,
                                           std::span<const std::int64_t> factors, WorkMeter* meter);
std::vector<SquareSum> reflectedPrefixSquareSums(std::span<const double> prefix,
                                                 std::span<const std::int64_t> factors,
                                                 WorkMeter* meter);

// Its work in elementary steps.
std::uint64_t reflectedSquareWork(std::int64_t points, std::int64_t m);

} // namespace analysis
