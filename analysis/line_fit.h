// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

} // namespace analysis
