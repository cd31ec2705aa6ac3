// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The steps the analysis at once and the live analysis share, so both give the same numbers.

#include "analysis/phase_series.h"
#include "analysis/stability.h"
#include "analysis/tau_accumulator.h"
#include "analysis/timed_values.h"

#include <span>
#include <vector>

namespace analysis {

StabilityResult analyzeTimedValues(const TimedValues& readings, const StabilityOptions& options,
                                   const AnalysisControl& control);

// Feeds every accumulator all of series, on several threads when the work is large.
void advanceAll(std::span<TauAccumulator> accumulators, const PhaseSeries& series);

// The points of series for the accumulators that the options' spacing reports (on its grid,
// within the largest factor for the series' length) and for the options' other kinds.
// cancelled tells whether the control stopped it.
std::vector<DeviationPoint> reportedPoints(const PhaseSeries& series,
                                           std::span<const TauAccumulator> accumulators,
                                           double tau0, double scale,
                                           const StabilityOptions& options,
                                           const AnalysisControl& control, bool& cancelled);

} // namespace analysis
