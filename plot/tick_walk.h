#pragma once

#include <functional>

struct LinearTick {
    double Value = 0;
    int Position = 0; // pixels from the axis start
    bool Major = false;
};

// The ticks of an increasing linear axis: from one major step at or below `low`, majors at
// positions 0 .. length and the minors between them, until a major lies beyond the axis end.
// `position` gives a value's pixel offset from the axis start.
void WalkLinearTicks(double low, double majorStep, double minorStep, int length,
                     const std::function<int(double)>& position,
                     const std::function<void(const LinearTick&)>& visit);
