// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

class Fourier;
class WorkMeter;

// Sums of squared differences (x_q - x_p)^2 over pairs of points of one series, weighted by the
// lag q - p, for the Theo1 and Allan sums of theo_sums.h (and theo_inner_pairs.h). Each is formed
// from a few Fourier correlations of stretches with their own mean taken out, so its rounding error
// is a few roundings of sums of the same size as the result, whatever the offset, drift or slow
// wander of x. meter, if any, is told of the work as it is done and can cut it short (the result is
// then incomplete).

// The structure function: result[l] = sum over p = 0 .. M-1-l of (x_(p+l) - x_p)^2 for
// l = 0 .. maxLag (maxLag < M = x.size()). Each lag to about 1e-15 of itself. fourier: made for
// 2 maxLag at least.
std::vector<double> structureFunction(std::span<const double> x, std::int64_t maxLag,
                                      const Fourier& fourier, WorkMeter* meter = nullptr);
std::uint64_t structureWork(std::int64_t points, std::int64_t maxLag);

// sum over all pairs p < q of x of weights[q - p] (x_q - x_p)^2, the weights of one sign, from one
// correlation of x with its mean taken out: to about 1e-14 of the sum, not of each lag's part.
// fourier: made for 2 x.size() at least.
double weightedPairSquares(std::span<const double> x, std::span<const double> weights,
                           const Fourier& fourier, WorkMeter* meter = nullptr);
std::uint64_t weightedPairWork(std::int64_t points);

} // namespace analysis
