// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/timed_values.h"

#include "analysis/timed_walk.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace analysis {

void TimedValues::add(double time, double value, Quantity quantity, bool gapBefore) {
    gapPending = gapPending || gapBefore;
    if (!std::isfinite(time)) {
        return;
    }
    if (timeMs.empty()) {
        phase = quantity == Quantity::Phase;
    }
    if (std::exchange(gapPending, false) && !timeMs.empty()) {
        recordedGaps.push_back(timeMs.size());
    }
    timeMs.push_back(time);
    values.push_back(usableValue(value, quantity, phase));
}

TimedValues timedValues(const ReadingSource& readings, std::size_t first, std::size_t last) {
    TimedValues timed;
    timed.timeMs.reserve(last - first);
    timed.values.reserve(last - first);
    timed.phase = forEachTimed(readings, first, last,
                               [&timed](std::size_t, double timeMs, double value, bool recorded) {
                                   if (recorded) {
                                       timed.recordedGaps.push_back(timed.timeMs.size());
                                   }
                                   timed.timeMs.push_back(timeMs);
                                   timed.values.push_back(value);
                               });
    return timed;
}

double usableFrequency(double value, Quantity quantity) {
    const double f = quantity == Quantity::Period ? 1.0 / value : value;
    return quantity != Quantity::Phase && std::isfinite(f) && f > 0
               ? f
               : std::numeric_limits<double>::quiet_NaN();
}

double usableValue(double value, Quantity quantity, bool phase) {
    if (!phase) {
        return usableFrequency(value, quantity);
    }
    return quantity == Quantity::Phase && std::isfinite(value)
               ? value
               : std::numeric_limits<double>::quiet_NaN();
}

std::vector<double> phaseSteps(const std::vector<double>& phase, const std::vector<char>& gaps) {
    std::vector<double> steps(phase.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 1; i < phase.size(); ++i) {
        steps[i] = phaseStep(phase[i - 1], phase[i], gaps[i] != 0);
    }
    return steps;
}

double chosenNominal(std::optional<double> given, double mean) {
    return given && std::isfinite(*given) && *given > 0 ? *given : mean;
}

double medianIntervalMs(const std::vector<double>& timeMs) {
    std::vector<double> intervals;
    intervals.reserve(timeMs.size());
    for (std::size_t i = 1; i < timeMs.size(); ++i) {
        const double dt = timeMs[i] - timeMs[i - 1];
        if (dt > 0) {
            intervals.push_back(dt);
        }
    }
    if (intervals.empty()) {
        return 0;
    }
    const auto middle = intervals.begin() + static_cast<std::ptrdiff_t>((intervals.size() - 1) / 2);
    std::nth_element(intervals.begin(), middle, intervals.end());
    return *middle;
}

std::vector<char> gapsBefore(const TimedValues& readings, double tau0Ms) {
    const std::vector<double>& timeMs = readings.timeMs;
    std::vector<char> gaps(timeMs.size(), 0);
    for (std::size_t i = 1; i < timeMs.size(); ++i) {
        gaps[i] = isGap(timeMs[i] - timeMs[i - 1], tau0Ms) ? 1 : 0;
    }
    for (const std::size_t i : readings.recordedGaps) {
        gaps[i] = 1;
    }
    return gaps;
}

} // namespace analysis
