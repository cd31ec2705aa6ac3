// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/analysis_control.h"
#include "analysis/deviation.h"
#include "analysis/noise_types.h"
#include "analysis/phase_series.h"
#include "analysis/stability.h"
#include "analysis/total_deviation.h"

#include <cstdint>
#include <map>
#include <vector>

namespace analysis {

// How the units of a PhaseSeries become those of the deviations.
struct SeriesUnits {
    double tau0 = 0;  // s
    double scale = 1; // a difference of the series' values in fractional frequency
    // Added to each value before the time-error estimators form the phase (k offset at the k-th
    // point of a segment): minus the mean of the values against their first, so that they see the
    // phase against the mean frequency, as the published MTIE and TIE rms tables do.
    double phaseOffset = 0;
};

// Whether a deviation comes from the running sums of TauAccumulator (ADEV, MDEV, HDEV, TDEV)
// rather than from the stored phase.
bool isAccumulated(Deviation kind);

// The factors m of the options (their grid, or the given ones) at which kind has terms for a
// longest segment of `points` phase points, ascending.
std::vector<std::int64_t> extendedFactors(Deviation kind, const StabilityOptions& options,
                                          std::int64_t points);

// The averaging factors whose noise type the kind's points ask for.
std::vector<std::int64_t> noiseFactors(Deviation kind, const StabilityOptions& options,
                                       std::int64_t points);

// Its estimated work in elementary steps, for the progress (none for TTOTDEV after MTOTDEV, or
// MTOTDEV after TTOTDEV, in the options' kinds: their sums are shared).
std::uint64_t extendedWork(Deviation kind, const StabilityOptions& options,
                           const PhaseSeries& series);

// What the deviations of one analysis share, so that it is worked out once: MTOTDEV's sums, which
// are TTOTDEV's too (by factor, one per segment).
struct SharedSums {
    std::map<std::int64_t, std::vector<SquareSum>> modifiedTotal;
};

// The points of one deviation that is not accumulated, in ascending tau, from the phase of the
// series' segments: each segment is reflected, windowed and averaged on its own, and the segments
// pool their sums and terms (MTIE: the largest of them), so no term spans a gap. Empty when the
// meter is cancelled. shared, if any, is the same for all deviations of one analysis of series
// with these options.
std::vector<DeviationPoint> extendedPoints(const PhaseSeries& series, Deviation kind,
                                           const SeriesUnits& units,
                                           const StabilityOptions& options, const NoiseTypes& noise,
                                           WorkMeter& meter, SharedSums* shared = nullptr);

} // namespace analysis
