// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/span_statistics.h"

#include "analysis/line_fit.h"
#include "analysis/timed_values.h"

#include <cmath>
#include <vector>

namespace analysis {

namespace {

// The slope of the fractional frequencies derived from phase: phase steps over tau0, each at the
// time of its later reading, none across a gap.
double phaseDriftPerSecond(const TimedValues& readings, const std::vector<double>& seconds) {
    const double tau0Ms = medianIntervalMs(readings.timeMs);
    if (!(tau0Ms > 0)) {
        return 0;
    }
    const std::vector<double> steps = phaseSteps(readings.values, gapsBefore(readings, tau0Ms));
    return fitLine(seconds, steps).slope / (tau0Ms / 1000.0);
}

} // namespace

SpanStatistics spanStatistics(std::span<const Reading> readings, std::optional<double> nominalHz) {
    TimedValues timed;
    timed.timeMs.reserve(readings.size());
    timed.values.reserve(readings.size());
    for (const Reading& reading : readings) {
        timed.add(reading.timeMs, reading.value, reading.quantity, reading.gapBefore);
    }
    std::vector<double> seconds;
    seconds.reserve(timed.size());
    for (double t : timed.timeMs) {
        seconds.push_back(t / 1000.0);
    }
    const LineFit fit = fitLine(seconds, timed.values);
    SpanStatistics statistics;
    if (fit.count == 0) {
        return statistics;
    }
    statistics.count = fit.count;
    const double spread =
        fit.count > 1 ? std::sqrt(fit.squaresOfY / static_cast<double>(fit.count - 1)) : 0;
    if (timed.phase) {
        statistics.phase = true;
        statistics.meanSeconds = fit.meanY;
        statistics.standardDeviationSeconds = spread;
        statistics.minimumSeconds = fit.minimumY;
        statistics.maximumSeconds = fit.maximumY;
        statistics.frequencyOffset = fit.slope;
        statistics.driftPerSecond = phaseDriftPerSecond(timed, seconds);
        return statistics;
    }
    statistics.meanHz = fit.meanY;
    statistics.nominalHz = chosenNominal(nominalHz, fit.meanY);
    statistics.standardDeviationHz = spread;
    statistics.minimumHz = fit.minimumY;
    statistics.maximumHz = fit.maximumY;
    statistics.driftHzPerSecond = fit.slope;
    statistics.driftPerSecond = fit.slope / statistics.nominalHz;
    return statistics;
}

} // namespace analysis
