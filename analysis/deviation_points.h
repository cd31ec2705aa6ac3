// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"
#include "analysis/phase_series.h"
#include "analysis/stability.h"
#include "analysis/tau_accumulator.h"

#include <span>
#include <vector>

namespace analysis {

// The points of the options' kinds from the sums of accumulators (ascending m, all caught up
// with series): values scaled by scale (1 / nominal), tau = m tau0 (s), noise identified from
// series unless forced, confidence intervals; averaging times without terms left out.
std::vector<DeviationPoint> makePoints(const PhaseSeries& series,
                                       std::span<const TauAccumulator* const> accumulators,
                                       double tau0, double scale, const StabilityOptions& options);

} // namespace analysis
