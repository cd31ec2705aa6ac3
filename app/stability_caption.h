// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/span_statistics.h"
#include "analysis/stability.h"

#include <string>

namespace app {

// The "Stability" page's caption line: how many readings at which tau0, the noise type
// identified at the shortest averaging time of the first deviation shown, and the linear
// frequency drift (fractional, per second) of `statistics`, marked when it is removed before the
// deviations. Phase readings are counted as such, and their line also gives the fractional
// frequency offset, the slope of the phase; their drift is that of the frequencies the analysis
// derives from the phase. No number in it is ever NaN.
std::string stabilityCaption(const analysis::StabilityResult& result,
                             const analysis::SpanStatistics& statistics, bool driftRemoved);

} // namespace app
