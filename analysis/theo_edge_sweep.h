// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

class WorkMeter;

// The pairs of a segment's first points that Theo1's windows at factor m leave out (see
// theo_sums.h), for many factors m = 4, 8, 12, ... at once:
//   outer: the sum over p < q < m of w(q - p) (x_q - x_p)^2, w(l) = 1/l for l < m/2,
//          4/m for l = m/2, 1/(m - l) above: every pair within the first m points;
//   inner: innerPairSquares(x, m).
// Running sums for every lag grow by four points a step, so each step costs a few passes over the
// lags so far, where forming each factor anew would cost the whole triangle of pairs.
struct EdgeSums {
    double outer = 0;
    double inner = 0;
};

// factors ascending, each a multiple of 4; x holds at least the largest factor's points.
std::vector<EdgeSums> edgeSweep(std::span<const double> x, std::span<const std::int64_t> factors,
                                WorkMeter* meter = nullptr);
std::uint64_t edgeSweepWork(std::int64_t largestFactor);

} // namespace analysis
