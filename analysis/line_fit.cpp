// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/line_fit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace analysis {

LineFit fitLine(std::span<const double> x, std::span<const double> y) {
    LineFit fit;
    double firstX = 0;
    double firstY = 0;
    double offsetsX = 0;
    double offsetsY = 0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        if (!std::isfinite(y[i])) {
            continue;
        }
        if (fit.count == 0) {
            firstX = x[i];
            firstY = y[i];
            fit.minimumY = fit.maximumY = y[i];
        }
        ++fit.count;
        offsetsX += x[i] - firstX;
        offsetsY += y[i] - firstY;
        fit.minimumY = std::min(fit.minimumY, y[i]);
        fit.maximumY = std::max(fit.maximumY, y[i]);
    }
    if (fit.count == 0) {
        return fit;
    }
    fit.meanX = firstX + offsetsX / static_cast<double>(fit.count);
    fit.meanY = firstY + offsetsY / static_cast<double>(fit.count);
    double spreadX = 0;
    double cross = 0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        if (!std::isfinite(y[i])) {
            continue;
        }
        const double dx = x[i] - fit.meanX;
        const double dy = y[i] - fit.meanY;
        spreadX += dx * dx;
        cross += dx * dy;
        fit.squaresOfY += dy * dy;
    }
    fit.slope = spreadX > 0 ? cross / spreadX : 0;
    return fit;
}

} // namespace analysis
