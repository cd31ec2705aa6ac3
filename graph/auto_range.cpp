// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/auto_range.h"

#include <cmath>

namespace graph {

AxisRange autoRange(const Extremes& values, double margin) {
    if (!values.any)
        return {};
    const double d = values.upper - values.lower;
    if (d > 0)
        return {values.lower - margin * d, values.upper + margin * d};
    const double v = values.lower;
    if (v != 0)
        return {v - margin * std::fabs(v), v + margin * std::fabs(v)};
    return {};
}

AxisRange autoRange(std::span<const double> values, double margin) {
    Extremes extremes;
    for (double v : values)
        extremes.include(v);
    return autoRange(extremes, margin);
}

} // namespace graph
