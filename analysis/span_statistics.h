// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"

#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

// Statistics of the usable readings of a span (see reading.h); all 0 without any.
struct SpanStatistics {
    std::int64_t count = 0;
    double nominalHz = 0; // as given, or the mean
    double meanHz = 0;
    double standardDeviationHz = 0; // sample standard deviation (divisor count - 1); 0 below 2
    double minimumHz = 0;
    double maximumHz = 0;
    // Linear frequency drift: slope of the least-squares line through (t in s, f), and the same
    // for the fractional frequency (f - f0) / f0; 0 when all time stamps are equal.
    double driftHzPerSecond = 0;
    double driftPerSecond = 0;
};

// nominalHz: empty (or not a finite positive number) for the mean of the readings.
SpanStatistics spanStatistics(std::span<const Reading> readings,
                              std::optional<double> nominalHz = std::nullopt);

} // namespace analysis
