// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/extremes.h"

#include <cmath>

namespace graph {

void Extremes::include(double v) {
    if (!std::isfinite(v))
        return;
    if (!any) {
        any = true;
        lower = v;
        upper = v;
        return;
    }
    if (v < lower)
        lower = v;
    if (v > upper)
        upper = v;
}

void Extremes::include(const Extremes& other) {
    if (!other.any)
        return;
    include(other.lower);
    include(other.upper);
}

Extremes Extremes::scaled(double factor) const {
    Extremes result;
    if (any) {
        result.include(lower * factor);
        result.include(upper * factor);
    }
    return result;
}

} // namespace graph
