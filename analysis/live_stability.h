// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/phase_series.h"
#include "analysis/running_median.h"
#include "analysis/stability.h"
#include "analysis/tau_accumulator.h"
#include "analysis/timed_values.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <vector>

namespace analysis {

// Stability of a growing series, for a page that shows it while readings arrive. Its results
// are those of analyzeReadings over the readings added so far, to the last bit.
//
// add() takes time proportional to the number of averaging factors, not of readings: each
// factor of both spacings keeps running sums, fed one phase point at a time. A factor is
// started once the series is twice as long as the factor and catches up on the past a few
// points per reading, so it is complete when it is due at a quarter of the series. The one
// exception: when a new reading moves tau0 so far that an earlier interval would be judged
// differently (gap or not), the sums are rebuilt from the stored readings.
//
// result() identifies the noise from the stored phase, which takes time proportional to the
// readings (not needed with a forced alpha); with removeDrift it analyses the stored readings
// from scratch.
//
// No add() copies the history as it grows (see SteadyBuffer); the readings and intervals are kept
// in deques for the same reason. Memory: the readings (16 bytes each), the phase (8 bytes per
// reading, up to three times that while a bigger buffer is filled) and the intervals for the median
// (8 bytes each), plus 80 bytes of sums per averaging factor.
//
// Not for use from several threads at once.
class LiveStability {
public:
    // One reading, as in analyzeReadings: a value that is not usable leaves a gap, a time stamp
    // that is not finite is ignored, the first reading says whether the series is phase, and
    // gapBefore splits the series before it (Reading::gapBefore).
    void add(double timeMs, double value, Quantity quantity = Quantity::Frequency,
             bool gapBefore = false);
    // All points for the options, equal to analyzeReadings over the readings added so far. The
    // kinds that are not accumulated (the total family, Theo, MTIE, TIE rms) are formed from the
    // stored phase each time, at their full cost; control follows and stops that.
    StabilityResult result(const StabilityOptions& options,
                           const AnalysisControl& control = {}) const;
    // Forgets every reading and frees the memory.
    void reset();

    // Memory held, all of it and that of the running sums alone.
    std::size_t memoryBytes() const;
    std::size_t runningSumBytes() const;

private:
    void rebuild();
    // Whether a gap precedes reading i (i > 0): a recorded one, or one its interval tells; notes
    // the interval's judgement in the extremes.
    bool gapPrecedes(std::size_t i, bool recorded);
    void startDueFactors();
    // What reading i gives the phase series: its frequency, or its phase step.
    double seriesValue(std::size_t i, bool gapBefore) const;
    TimedValues storedReadings() const;

    std::deque<double> timeMs_;
    std::deque<double> values_; // as in TimedValues: Hz or s of phase, NaN where not usable
    bool phase_ = false;
    std::vector<std::size_t> recordedGaps_; // as TimedValues::recordedGaps
    bool gapPending_ = false;
    RunningMedian intervals_;
    double tau0Ms_ = 0;
    // The extremes of the intervals judged without and with a gap under tau0Ms_: as long as a new
    // tau0 judges these two the same, it judges every interval the same.
    double longestSteadyMs_ = -std::numeric_limits<double>::infinity();
    double shortestGapMs_ = std::numeric_limits<double>::infinity();
    PhaseSeries series_;
    std::vector<TauAccumulator> accumulators_; // every factor of both spacings started, ascending
};

} // namespace analysis
