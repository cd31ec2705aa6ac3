// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace plot {

struct LinearTick {
    double value = 0;
    int position = 0; // pixels from the axis start
    bool major = false;
};

// The ticks of an increasing linear axis: from one major step at or below `low`, majors at
// positions 0 .. length and the minors between them, until a major lies beyond the axis end.
// `position` gives a value's pixel offset from the axis start.
void walkLinearTicks(double low, double majorStep, double minorStep, int length,
                     const std::function<int(double)>& position,
                     const std::function<void(const LinearTick&)>& visit);

} // namespace plot
