// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/span_statistics.h"

#include "analysis/line_fit.h"
#include "analysis/running_median.h"
#include "analysis/timed_walk.h"

#include <cmath>
#include <limits>

namespace analysis {

namespace {

// Each statistic is formed in passes over the readings, which are never copied: `timed(visit)`
// hands visit(timeMs, value, recordedGap) for each reading with a time stamp (forEachTimed) and
// returns whether they are phase readings.

// The slope of the fractional frequencies derived from phase: phase steps over tau0, each at the
// time of its later reading, none across a gap.
template <typename Timed> double phaseDriftPerSecond(const Timed& timed) {
    RunningMedian intervals;
    bool any = false;
    double previousMs = 0;
    timed([&](double timeMs, double, bool) {
        if (any && timeMs - previousMs > 0) {
            intervals.add(timeMs - previousMs);
        }
        any = true;
        previousMs = timeMs;
    });
    const double tau0Ms = intervals.lowerMedian();
    if (!(tau0Ms > 0)) {
        return 0;
    }
    const LineFit fit = fitLine([&](auto visit) {
        bool first = true;
        double previousTimeMs = 0;
        double previousPhase = 0;
        timed([&](double timeMs, double phase, bool recorded) {
            const bool gap = recorded || isGap(timeMs - previousTimeMs, tau0Ms);
            visit(timeMs / 1000.0, first ? std::numeric_limits<double>::quiet_NaN()
                                         : phaseStep(previousPhase, phase, gap));
            first = false;
            previousTimeMs = timeMs;
            previousPhase = phase;
        });
    });
    return fit.slope / (tau0Ms / 1000.0);
}

template <typename Timed>
SpanStatistics statisticsOf(const Timed& timed, std::optional<double> nominalHz) {
    bool phase = false;
    const LineFit fit = fitLine([&](auto visit) {
        phase = timed([&](double timeMs, double value, bool) { visit(timeMs / 1000.0, value); });
    });
    SpanStatistics statistics;
    if (fit.count == 0) {
        return statistics;
    }
    statistics.count = fit.count;
    const double spread =
        fit.count > 1 ? std::sqrt(fit.squaresOfY / static_cast<double>(fit.count - 1)) : 0;
    if (phase) {
        statistics.phase = true;
        statistics.meanSeconds = fit.meanY;
        statistics.standardDeviationSeconds = spread;
        statistics.minimumSeconds = fit.minimumY;
        statistics.maximumSeconds = fit.maximumY;
        statistics.frequencyOffset = fit.slope;
        statistics.driftPerSecond = phaseDriftPerSecond(timed);
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

} // namespace

SpanStatistics spanStatistics(std::span<const Reading> readings, std::optional<double> nominalHz) {
    return statisticsOf(
        [readings](auto visit) {
            return forEachTimed(readings, [&](std::size_t, double timeMs, double value,
                                              bool recorded) { visit(timeMs, value, recorded); });
        },
        nominalHz);
}

SpanStatistics spanStatistics(const ReadingSource& readings, std::size_t first, std::size_t last,
                              std::optional<double> nominalHz) {
    return statisticsOf(
        [&readings, first, last](auto visit) {
            return forEachTimed(readings, first, last,
                                [&](std::size_t, double timeMs, double value, bool recorded) {
                                    visit(timeMs, value, recorded);
                                });
        },
        nominalHz);
}

} // namespace analysis
