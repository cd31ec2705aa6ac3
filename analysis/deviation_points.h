// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/analysis_control.h"
#include "analysis/deviation.h"
#include "analysis/extended_points.h"
#include "analysis/phase_series.h"
#include "analysis/stability.h"
#include "analysis/tau_accumulator.h"

#include <span>
#include <vector>

namespace analysis {

// The points of the options' kinds: ADEV, MDEV, HDEV and TDEV from the sums of accumulators
// (ascending m, all caught up with series), the others from the series' phase; values in the
// kinds' units (units.scale turns a difference of the series' values into fractional frequency),
// tau = m tau0, noise identified from series unless forced, confidence intervals; averaging
// times without terms left out. Stops early, with the points so far, when meter is cancelled.
std::vector<DeviationPoint> makePoints(const PhaseSeries& series,
                                       std::span<const TauAccumulator* const> accumulators,
                                       const SeriesUnits& units, const StabilityOptions& options,
                                       WorkMeter& meter);

// The work makePoints will report for the options' kinds that are not accumulated.
std::uint64_t extendedWork(const PhaseSeries& series, const StabilityOptions& options);

} // namespace analysis
