// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace analysis {

class Fourier;
class WorkMeter;

// The inner pairs of Theo1 at factor m (even) that reach before the first window: the sum over
// 0 <= p < q with p + q <= m - 2 and q - p even of 2 (x_q - x_p)^2 / (m - q + p), which is
// sum over k = 1 .. m/2 of (1/k) sum over p < k of (x_(p+m-2k) - x_p)^2. Uses x_0 .. x_(m-2).
// Squares of the triangle of pairs by Fourier correlations, each square's two stretches with
// their mean taken out: to about 1e-14 of the sum. meter as for structureFunction.
// fourier: made for 2m at least.
double innerPairSquares(std::span<const double> x, std::int64_t m, const Fourier& fourier,
                        WorkMeter* meter = nullptr);
// Its work, from the tiling: about 2.5 m log2(m)^2.
std::uint64_t innerPairWork(std::int64_t m);

} // namespace analysis
