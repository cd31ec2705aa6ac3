// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/confidence_interval.h"

#include "analysis/chi_squared.h"

#include <algorithm>
#include <cmath>

namespace analysis {

void addInterval(DeviationPoint& point, double edf, double confidence) {
    if (!(confidence > 0 && confidence < 1)) {
        return;
    }
    const double tail = std::min(confidence, 1 - confidence) / 2;
    const double lowQuantile = chiSquaredQuantile(tail, edf);
    const double highQuantile = chiSquaredQuantile(1 - tail, edf);
    if (!(lowQuantile > 0 && highQuantile > 0)) {
        return;
    }
    point.lower = point.value * std::sqrt(edf / highQuantile);
    point.upper = point.value * std::sqrt(edf / lowQuantile);
    point.edf = edf;
    point.hasInterval = std::isfinite(point.lower) && std::isfinite(point.upper);
    if (!point.hasInterval) {
        point.lower = point.upper = point.value;
        point.edf = 0;
    }
}

} // namespace analysis
