// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/stability.h"

#include "analysis/deviation_points.h"
#include "analysis/extended_points.h"
#include "analysis/line_fit.h"
#include "analysis/parallel_for.h"
#include "analysis/stability_engine.h"
#include "analysis/tau_grid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

namespace {

PhaseSeries buildSeries(std::span<const double> values, std::span<const char> gaps) {
    PhaseSeries series;
    // A segment starts at the first value and after every gap or missing value.
    const auto breaks =
        std::count(gaps.begin(), gaps.end(), 1) +
        std::count_if(values.begin(), values.end(), [](double v) { return !std::isfinite(v); });
    series.reserve(values.size() + 1 + static_cast<std::size_t>(breaks));
    for (std::size_t i = 0; i < values.size(); ++i) {
        series.add(values[i], gaps[i] != 0);
    }
    return series;
}

// values minus the least-squares line through (seconds, values); NaN stays NaN. Fitted to the
// differences to the first value: residuals of frequencies near 1e7 Hz formed from the
// frequencies themselves would carry their rounding of 2e-9 Hz.
std::vector<double> withoutDrift(std::span<const double> seconds, std::span<const double> values) {
    const auto first =
        std::find_if(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    const double reference = first == values.end() ? 0 : *first;
    std::vector<double> offsets(values.size());
    std::transform(values.begin(), values.end(), offsets.begin(),
                   [reference](double v) { return v - reference; });
    const LineFit fit = fitLine(seconds, offsets);
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        offsets[i] -= fit.meanY + fit.slope * (seconds[i] - fit.meanX);
    }
    return offsets;
}

// values: frequencies in Hz (divided by the nominal), phase steps in s (divided by tau0) or
// fractional frequencies (taken as they are); seconds: their times, needed only to remove the
// drift.
enum class Values { Frequency, PhaseSteps, Fractional };

StabilityResult analyzeSeries(Values kind, std::span<const double> values,
                              std::span<const char> gaps, std::span<const double> seconds,
                              double tau0, const StabilityOptions& options,
                              const AnalysisControl& control) {
    const PhaseSeries series = buildSeries(values, gaps);
    StabilityResult result;
    result.values = series.values();
    result.segments = static_cast<std::int64_t>(series.segmentStarts().size());
    const bool divide = kind == Values::Frequency;
    result.nominalHz = divide ? chosenNominal(options.nominalHz, series.mean()) : 0;
    if (!(tau0 > 0) || result.values == 0) {
        return result;
    }
    result.tau0 = tau0;
    const double scale = divide                       ? 1.0 / result.nominalHz
                         : kind == Values::PhaseSteps ? 1.0 / tau0
                                                      : 1.0;
    const PhaseSeries detrended =
        options.removeDrift ? buildSeries(withoutDrift(seconds, values), gaps) : PhaseSeries();
    const PhaseSeries& analysed = options.removeDrift ? detrended : series;
    std::vector<TauAccumulator> accumulators;
    const bool accumulated = std::any_of(options.kinds.begin(), options.kinds.end(), isAccumulated);
    for (std::int64_t m : accumulated ? chosenFactors(options.spacing, options.factors,
                                                      largestAveragingFactor(result.values))
                                      : std::vector<std::int64_t>{}) {
        accumulators.emplace_back(m);
    }
    advanceAll(accumulators, analysed);
    result.points =
        reportedPoints(analysed, accumulators, tau0, scale, options, control, result.cancelled);
    return result;
}

} // namespace

void advanceAll(std::span<TauAccumulator> accumulators, const PhaseSeries& series) {
    parallelFor(accumulators.size(), series.phase().size() * accumulators.size(),
                [&](std::size_t i) { accumulators[i].advance(series); });
}

std::vector<DeviationPoint> reportedPoints(const PhaseSeries& series,
                                           std::span<const TauAccumulator> accumulators,
                                           double tau0, double scale,
                                           const StabilityOptions& options,
                                           const AnalysisControl& control, bool& cancelled) {
    const std::int64_t largest = largestAveragingFactor(series.values());
    std::vector<const TauAccumulator*> reported;
    for (const TauAccumulator& accumulator : accumulators) {
        if (accumulator.m() <= largest &&
            isChosen(options.spacing, options.factors, accumulator.m())) {
            reported.push_back(&accumulator);
        }
    }
    WorkMeter meter(control, extendedWork(series, options));
    const SeriesUnits units{tau0, scale, -series.meanOffset()};
    std::vector<DeviationPoint> points = makePoints(series, reported, units, options, meter);
    cancelled = meter.cancelled();
    return points;
}

StabilityResult analyzeTimedValues(const TimedValues& readings, const StabilityOptions& options,
                                   const AnalysisControl& control) {
    const double tau0Ms = medianIntervalMs(readings.timeMs);
    const std::vector<char> gaps = gapsBefore(readings, tau0Ms);
    std::vector<double> seconds;
    if (options.removeDrift) {
        seconds.reserve(readings.size());
        for (double t : readings.timeMs) {
            seconds.push_back(t / 1000.0);
        }
    }
    const double tau0 = tau0Ms / 1000.0;
    if (readings.phase) {
        return analyzeSeries(Values::PhaseSteps, phaseSteps(readings.values, gaps), gaps, seconds,
                             tau0, options, control);
    }
    return analyzeSeries(Values::Frequency, readings.values, gaps, seconds, tau0, options, control);
}

StabilityResult analyzeReadings(std::span<const Reading> readings, const StabilityOptions& options,
                                const AnalysisControl& control) {
    TimedValues timed;
    timed.timeMs.reserve(readings.size());
    timed.values.reserve(readings.size());
    for (const Reading& reading : readings) {
        timed.add(reading.timeMs, reading.value, reading.quantity, reading.gapBefore);
    }
    return analyzeTimedValues(timed, options, control);
}

StabilityResult analyzeReadings(const ReadingSource& readings, std::size_t first, std::size_t last,
                                const StabilityOptions& options, const AnalysisControl& control) {
    return analyzeTimedValues(timedValues(readings, first, last), options, control);
}

StabilityResult analyzeFractional(std::span<const double> fractional, double tau0,
                                  const StabilityOptions& options, const AnalysisControl& control) {
    const std::vector<char> gaps(fractional.size(), 0);
    std::vector<double> seconds;
    if (options.removeDrift) {
        seconds.reserve(fractional.size());
        for (std::size_t i = 0; i < fractional.size(); ++i) {
            seconds.push_back(static_cast<double>(i) * tau0);
        }
    }
    return analyzeSeries(Values::Fractional, fractional, gaps, seconds,
                         std::isfinite(tau0) ? tau0 : 0, options, control);
}

} // namespace analysis
