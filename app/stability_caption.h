// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/stability.h"

#include <string>

namespace app {

// The "Stability" page's caption line: how many readings at which tau0, the noise type
// identified at the shortest averaging time of the first deviation shown, and the linear
// frequency drift (fractional, per second), marked when it is removed before the deviations.
// No number in it is ever NaN.
std::string stabilityCaption(const analysis::StabilityResult& result, double driftPerSecond,
                             bool driftRemoved);

} // namespace app
