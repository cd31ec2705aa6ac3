// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {
class WorkMeter;
}

namespace analysis {

// A sum of squares behind a deviation and the number of its terms, for one gap-free segment; the
// segments of a series pool theirs (sums and terms added).
struct SquareSum {
    double sum = 0;
    std::int64_t terms = 0;
};

// The total family on the phase x of one segment (M points, in any unit; the deviation's own
// factors are applied by the caller, see extended_points.cpp). None of them changes when a
// straight line is added to x.
//
// totalSum: x reflected oddly at both ends (x*_(-j) = 2 x_0 - x_j, x*_(M-1+j) = 2 x_(M-1) -
//   x_(M-1-j)), the squared second differences x*_(i-m) - 2 x_i + x*_(i+m) for i = 1 .. M - 2;
//   TOTDEV^2 = sum / (2 m^2 (M - 2)) in units of tau0. m <= M - 1.
SquareSum totalSum(std::span<const double> x, std::int64_t m);

// modifiedTotalSum: for each of the M - 3m + 1 stretches of 3m points, the slope between the
//   means of its first and last half taken out, the stretch reflected evenly at both ends to 9m
//   points, and over its 6m second differences of m-point sums (s1 - 2 s2 + s3) the mean square;
//   MTOTDEV^2 = sum / (2 m^4 (M - 3m + 1)). 3m <= M.
// meter, if any, is told of the work as it is done and can cut it short (the sum is then
// incomplete).
SquareSum modifiedTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter = nullptr);

// hadamardTotalSum: the same on the M - 1 frequencies y_k = x_(k+1) - x_k, for m >= 2;
//   HTOTDEV^2 = sum / (6 m^2 (M - 3m)). 3m <= M - 1. At m = 1 the overlapping Hadamard sum:
//   the squared third differences of x, HTOTDEV^2 = sum / (6 (M - 3)).
SquareSum hadamardTotalSum(std::span<const double> x, std::int64_t m, WorkMeter* meter = nullptr);

// Each of them at several factors at once, the factors spread over the threads together: the
// same sums, in the order of factors (none for a factor too large for x). meter as above.
std::vector<SquareSum> totalSums(std::span<const double> x, std::span<const std::int64_t> factors,
                                 WorkMeter* meter = nullptr);
std::vector<SquareSum> modifiedTotalSums(std::span<const double> x,
                                         std::span<const std::int64_t> factors,
                                         WorkMeter* meter = nullptr);
std::vector<SquareSum> hadamardTotalSums(std::span<const double> x,
                                         std::span<const std::int64_t> factors,
                                         WorkMeter* meter = nullptr);

// hadamardTotalSum's work for factor m on M points, in elementary steps (modifiedTotalSum's:
// reflectedSquareWork).
std::uint64_t reflectedWork(std::int64_t points, std::int64_t m);

} // namespace analysis
