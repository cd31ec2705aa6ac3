// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

class WorkMeter;

// Sums of squared differences (x_q - x_p)^2 over pairs of points of one series, weighted by the
// lag q - p, for the Theo1 and Allan sums of theo_sums.h. Each is formed from a few Fourier
// correlations of stretches with their own mean taken out, so its rounding error is a few
// roundings of sums of the same size as the result, whatever the offset, drift or slow wander of
// x. meter, if any, is told of the work as it is done and can cut it short (the result is then
// incomplete).

// The structure function: result[l] = sum over p = 0 .. M-1-l of (x_(p+l) - x_p)^2 for
// l = 0 .. maxLag (maxLag < M = x.size()). Each lag to about 1e-15 of itself.
std::vector<double> structureFunction(std::span<const double> x, std::int64_t maxLag,
                                      WorkMeter* meter = nullptr);
std::uint64_t structureWork(std::int64_t points, std::int64_t maxLag);

// sum over all pairs p < q of x of weights[q - p] (x_q - x_p)^2, the weights of one sign, from one
// correlation of x with its mean taken out: to about 1e-14 of the sum, not of each lag's part.
double weightedPairSquares(std::span<const double> x, std::span<const double> weights,
                           WorkMeter* meter = nullptr);
std::uint64_t weightedPairWork(std::int64_t points);

// sum of values[i] weights[i], in sixteen lanes side by side: for terms of one sign good to some
// roundings times the square root of count / 16, no worse than count / 16 roundings.
double weightedSum(const double* values, const double* weights, std::size_t count);

// One lag of it: sum over p = 0 .. M-1-lag of (x_(p+lag) - x_p)^2, to a rounding or two.
double lagSquareSum(std::span<const double> x, std::int64_t lag);
// The same to some roundings times the square root of the number of terms, in a third of the time.
double roughLagSquareSum(std::span<const double> x, std::int64_t lag);

// The inner pairs of Theo1 at factor m (even) that reach before the first window: the sum over
// 0 <= p < q with p + q <= m - 2 and q - p even of 2 (x_q - x_p)^2 / (m - q + p), which is
// sum over k = 1 .. m/2 of (1/k) sum over p < k of (x_(p+m-2k) - x_p)^2. Uses x_0 .. x_(m-2).
// To about 1e-14 of the sum.
double innerPairSquares(std::span<const double> x, std::int64_t m, WorkMeter* meter = nullptr);
// Its work, from the tiling: about 2.5 m log2(m)^2.
std::uint64_t innerPairWork(std::int64_t m);

} // namespace analysis
