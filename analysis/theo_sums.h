// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/total_deviation.h"

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// The Theo1 sums of theo1Sum and the overlapping Allan sums of allanSum of one segment at many
// factors, as many as TheoBR's ratio asks for, each at a cost that does not grow with the factor
// times the segment:
//
// x less its least-squares parabola (whose part is added back in closed form) has a Theo1 sum at m
// that is the structure function SF(l) = sum_p (x_(p+l) - x_p)^2 at lags up to m, combined with
// weights 1/k, less the pairs the windows leave out at the segment's two ends: all pairs within
// the first and the last m points, and the inner pairs of innerPairSquares. The structure
// function comes once for all lags from Fourier correlations; the pairs at the ends per factor,
// or, along a run of factors 4 apart, from running sums that grow by 4 points a step. The Allan
// sum at m is 4 SF(m) - SF(2m) less twice the pairs of lag m within the first 2m points and
// within the last 2m.
//
// Each sum agrees with the direct one to about 1e-15 N/m of itself (N the segment's points) for
// phase from white phase noise to random-walk FM, with any frequency offset and drift (the
// parabola keeps the structure function from growing with them): within 5e-13 at 20000 points,
// 1e-10 at m = 16 of a million. A factor without terms gets an empty sum.
struct TheoSums {
    std::vector<SquareSum> theo1;
    std::vector<SquareSum> allan;
};

TheoSums theoSumsFromStructure(std::span<const double> x, std::span<const std::int64_t> theoFactors,
                               std::span<const std::int64_t> allanFactors,
                               WorkMeter* meter = nullptr);

// Each factor the cheaper way, directly (theo1Sum, allanSum) or as above.
TheoSums theoSums(std::span<const double> x, std::span<const std::int64_t> theoFactors,
                  std::span<const std::int64_t> allanFactors, WorkMeter* meter = nullptr);
// Its work in the steps it reports to its meter.
std::uint64_t theoSumsWork(std::int64_t points, std::span<const std::int64_t> theoFactors,
                           std::span<const std::int64_t> allanFactors);

} // namespace analysis
