// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

namespace analysis {

// Least-squares straight line y = meanY + slope (x - meanX) through the pairs whose y is finite,
// and the spread of those y. Formed from sums centred on the means, and the means from the
// differences to the first pair: for frequencies near 1e7 Hz that vary by 0.01 Hz, uncentred
// sums leave nothing of the variance and miss the slope by per cent.
struct LineFit {
    std::int64_t count = 0;
    double meanX = 0;
    double meanY = 0;
    double slope = 0;      // 0 when all x are equal
    double squaresOfY = 0; // sum of (y - meanY)^2
    double minimumY = 0;
    double maximumY = 0;
};

LineFit fitLine(std::span<const double> x, std::span<const double> y);

// The same through the pairs that `pairs(visit)` hands to visit(x, y): it is called twice and
// hands the same pairs in the same order each time, so they need not be stored.
template <typename Pairs> LineFit fitLine(Pairs pairs) {
    LineFit fit;
    double firstX = 0;
    double firstY = 0;
    double offsetsX = 0;
    double offsetsY = 0;
    pairs([&](double x, double y) {
        if (!std::isfinite(y)) {
            return;
        }
        if (fit.count == 0) {
            firstX = x;
            firstY = y;
            fit.minimumY = fit.maximumY = y;
        }
        ++fit.count;
        offsetsX += x - firstX;
        offsetsY += y - firstY;
        fit.minimumY = std::min(fit.minimumY, y);
        fit.maximumY = std::max(fit.maximumY, y);
    });
    if (fit.count == 0) {
        return fit;
    }
    fit.meanX = firstX + offsetsX / static_cast<double>(fit.count);
    fit.meanY = firstY + offsetsY / static_cast<double>(fit.count);
    double spreadX = 0;
    double cross = 0;
    pairs([&](double x, double y) {
        if (!std::isfinite(y)) {
            return;
        }
        const double dx = x - fit.meanX;
        const double dy = y - fit.meanY;
        spreadX += dx * dx;
        cross += dx * dy;
        fit.squaresOfY += dy * dy;
    });
    fit.slope = spreadX > 0 ? cross / spreadX : 0;
    return fit;
}

} // namespace analysis
