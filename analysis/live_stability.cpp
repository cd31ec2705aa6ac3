// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/live_stability.h"

#include "analysis/stability_engine.h"
#include "analysis/tau_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace analysis {

namespace {

// Points of its past a factor started early takes in with each reading; 4 per reading over the
// 2m readings before it is due cover the 4m points it needs.
constexpr std::size_t kCatchUpPoints = 4;

} // namespace

void LiveStability::add(double timeMs, double value, Quantity quantity, bool gapBefore) {
    gapPending_ = gapPending_ || gapBefore;
    if (!std::isfinite(timeMs)) {
        return;
    }
    const bool hasPrevious = !timeMs_.empty();
    if (!hasPrevious) {
        phase_ = quantity == Quantity::Phase;
    }
    const bool recorded = std::exchange(gapPending_, false) && hasPrevious;
    if (recorded) {
        recordedGaps_.push_back(timeMs_.size());
    }
    const double previousMs = hasPrevious ? timeMs_.back() : 0;
    timeMs_.push_back(timeMs);
    values_.push_back(usableValue(value, quantity, phase_));
    bool gap = false;
    if (hasPrevious) {
        const double interval = timeMs - previousMs;
        if (interval > 0) {
            intervals_.add(interval);
        }
        const double tau0 = intervals_.lowerMedian();
        if (tau0 != tau0Ms_) {
            const bool judgedOtherwise =
                isGap(longestSteadyMs_, tau0) || !isGap(shortestGapMs_, tau0);
            tau0Ms_ = tau0;
            if (judgedOtherwise) {
                rebuild();
                return;
            }
        }
        gap = gapPrecedes(timeMs_.size() - 1, recorded);
    }
    series_.add(seriesValue(values_.size() - 1, gap), gap);
    startDueFactors();
    const std::int64_t due = largestAveragingFactor(series_.values());
    for (TauAccumulator& accumulator : accumulators_) {
        if (accumulator.m() <= due) {
            accumulator.advance(series_);
        } else {
            accumulator.advance(series_, kCatchUpPoints);
        }
    }
}

void LiveStability::startDueFactors() {
    for (;;) {
        const std::int64_t last = accumulators_.empty() ? 0 : accumulators_.back().m();
        const std::int64_t next = std::min(nextOnGrid(TauSpacing::Octave, last),
                                           nextOnGrid(TauSpacing::OneTwoFive, last));
        if (2 * next > series_.values()) {
            return;
        }
        accumulators_.emplace_back(next);
    }
}

void LiveStability::rebuild() {
    series_ = PhaseSeries();
    longestSteadyMs_ = -std::numeric_limits<double>::infinity();
    shortestGapMs_ = std::numeric_limits<double>::infinity();
    auto nextRecorded = recordedGaps_.begin();
    for (std::size_t i = 0; i < timeMs_.size(); ++i) {
        const bool recorded = nextRecorded != recordedGaps_.end() && *nextRecorded == i;
        nextRecorded += recorded ? 1 : 0;
        const bool gap = i > 0 && gapPrecedes(i, recorded);
        series_.add(seriesValue(i, gap), gap);
    }
    startDueFactors();
    for (TauAccumulator& accumulator : accumulators_) {
        accumulator = TauAccumulator(accumulator.m());
    }
    advanceAll(accumulators_, series_);
}

// A recorded gap is one whatever tau0, so only the intervals judged by tau0 go into the extremes
// that tell when a new tau0 judges otherwise.
bool LiveStability::gapPrecedes(std::size_t i, bool recorded) {
    if (recorded) {
        return true;
    }
    const double interval = timeMs_[i] - timeMs_[i - 1];
    const bool gap = isGap(interval, tau0Ms_);
    if (gap) {
        shortestGapMs_ = std::min(shortestGapMs_, interval);
    } else {
        longestSteadyMs_ = std::max(longestSteadyMs_, interval);
    }
    return gap;
}

// The steps exactly as phaseSteps forms them, so both analyses see the same numbers.
double LiveStability::seriesValue(std::size_t i, bool gapBefore) const {
    if (!phase_) {
        return values_[i];
    }
    return i == 0 ? std::numeric_limits<double>::quiet_NaN()
                  : phaseStep(values_[i - 1], values_[i], gapBefore);
}

TimedValues LiveStability::storedReadings() const {
    TimedValues readings;
    readings.timeMs.assign(timeMs_.begin(), timeMs_.end());
    readings.values.assign(values_.begin(), values_.end());
    readings.recordedGaps = recordedGaps_;
    readings.phase = phase_;
    return readings;
}

StabilityResult LiveStability::result(const StabilityOptions& options,
                                      const AnalysisControl& control) const {
    if (options.removeDrift) {
        return analyzeTimedValues(storedReadings(), options, control);
    }
    StabilityResult result;
    result.values = series_.values();
    result.segments = static_cast<std::int64_t>(series_.segmentStarts().size());
    result.nominalHz = phase_ ? 0 : chosenNominal(options.nominalHz, series_.mean());
    if (!(tau0Ms_ > 0) || result.values == 0) {
        return result;
    }
    result.tau0 = tau0Ms_ / 1000.0;
    const double scale = phase_ ? 1.0 / result.tau0 : 1.0 / result.nominalHz;
    result.points = reportedPoints(series_, accumulators_, result.tau0, scale, options, control,
                                   result.cancelled);
    return result;
}

void LiveStability::reset() {
    *this = LiveStability();
}

std::size_t LiveStability::memoryBytes() const {
    return (timeMs_.size() + values_.size()) * sizeof(double) +
           recordedGaps_.capacity() * sizeof(std::size_t) + intervals_.memoryBytes() +
           series_.memoryBytes() + runningSumBytes();
}

std::size_t LiveStability::runningSumBytes() const {
    return accumulators_.capacity() * sizeof(TauAccumulator);
}

} // namespace analysis
