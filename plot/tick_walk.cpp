// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/tick_walk.h"

#include "plot/extended_rounding.h"

namespace plot {

void walkLinearTicks(double low, double majorStep, double minorStep, int length,
                     const std::function<int(double)>& position,
                     const std::function<void(const LinearTick&)>& visit) {
    if (!(majorStep > 0) || !(minorStep > 0))
        return;
    const long double k = roundEven(static_cast<long double>(majorStep) / minorStep);
    double t =
        static_cast<double>(trunc(static_cast<long double>(low) / majorStep - 1) * majorStep);
    while (position(t) <= length) {
        const int p = position(t);
        if (p >= 0)
            visit({t, p, true});
        for (long double j = 1; j <= k - 1; ++j) {
            const double m = static_cast<double>(t + j * minorStep);
            const int q = position(m);
            if (q >= 0 && q <= length)
                visit({m, q, false});
        }
        const double next = t + majorStep;
        if (next == t)
            break; // the step is below the resolution of t: no further tick can be reached
        t = next;
    }
}

} // namespace plot
