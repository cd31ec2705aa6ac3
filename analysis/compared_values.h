// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading_source.h"

#include <cstddef>
#include <vector>

namespace analysis {

// How runs measured at different frequencies, or as phase, share one axis.
enum class Comparison {
    AsRead,            // the values as the instrument gave them
    OffsetFromMean,    // fractional frequency offset from the run's mean frequency
    OffsetFromNominal, // fractional frequency offset from the run's nominal frequency
    PhaseResidual,     // phase in s, less the straight line that fits it best
};

// The round frequency a mean frequency (or period) is taken to aim at: the mean rounded to the
// coarsest power-of-ten step that stays within 100 ppm of it (25.00001 MHz reads as 25 MHz,
// 13.56001 MHz as 13.56 MHz).
double nominalOf(double mean);

// One value per reading [0, count) of `source`, compared as asked. Periods count as frequencies
// 1 / period; a phase run's fractional frequency is the first difference of its phase over the
// readings' spacing (not a number for a run's first reading and the first after a gap), and its
// nominal offset is that frequency itself. A frequency run's phase is the running sum of its
// offset from the mean times the spacing, which does not run across a gap. A reading without a
// usable value has a value that is not a number.
std::vector<double> comparedValues(const ReadingSource& source, std::size_t count,
                                   Comparison comparison);

} // namespace analysis
