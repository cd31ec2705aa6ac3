// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"
#include "analysis/reading_source.h"

#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

// Statistics of the usable readings of a span (see reading.h); all 0 without any. As in the
// analysis, the first reading says whether the span is phase or frequency readings; the fields
// of the other kind stay 0.
struct SpanStatistics {
    std::int64_t count = 0;
    // Frequency and period readings, in Hz.
    double nominalHz = 0; // as given, or the mean
    double meanHz = 0;
    double standardDeviationHz = 0; // sample standard deviation (divisor count - 1); 0 below 2
    double minimumHz = 0;
    double maximumHz = 0;
    // Linear frequency drift: slope of the least-squares line through (t in s, f), and the same
    // for the fractional frequency (f - f0) / f0; 0 when all time stamps are equal. For phase
    // readings driftPerSecond is the slope of the line through the fractional frequencies the
    // analysis derives from them (see stability.h), the line that removeDrift takes out.
    double driftHzPerSecond = 0;
    double driftPerSecond = 0;
    // Phase readings: the phase itself in s (standard deviation as above), and the mean
    // fractional frequency offset, the slope of the least-squares line through (t in s, x).
    bool phase = false;
    double meanSeconds = 0;
    double standardDeviationSeconds = 0;
    double minimumSeconds = 0;
    double maximumSeconds = 0;
    double frequencyOffset = 0;
};

// nominalHz: empty (or not a finite positive number) for the mean of the readings; ignored for
// phase readings.
SpanStatistics spanStatistics(std::span<const Reading> readings,
                              std::optional<double> nominalHz = std::nullopt);
// The same for the readings [first, last) of a source, read where they are.
SpanStatistics spanStatistics(const ReadingSource& readings, std::size_t first, std::size_t last,
                              std::optional<double> nominalHz = std::nullopt);

} // namespace analysis
