// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/time_error.h"

#include <algorithm>
#include <cstddef>

namespace analysis {

TimeErrors timeErrors(std::span<const double> x, std::span<const std::int64_t> factors) {
    TimeErrors result;
    result.maximum.assign(factors.size(), 0);
    result.squares.assign(factors.size(), SquareSum{});
    const std::size_t points = x.size();
    // high[i], low[i]: extremes of x[i .. i + width), for width = 1, 2, 4, ...
    std::vector<double> high(x.begin(), x.end());
    std::vector<double> low(x.begin(), x.end());
    std::size_t width = 1;
    for (std::size_t f = 0; f < factors.size(); ++f) {
        const auto m = static_cast<std::size_t>(std::max<std::int64_t>(0, factors[f]));
        if (m < 1 || m + 2 > points) {
            continue;
        }
        const std::size_t window = m + 1;
        while (2 * width <= window) {
            const std::size_t count = points - 2 * width + 1;
            // Written as comparisons, which the compiler turns into vector max and min.
            for (std::size_t i = 0; i < count; ++i) {
                high[i] = high[i + width] > high[i] ? high[i + width] : high[i];
                low[i] = low[i + width] < low[i] ? low[i + width] : low[i];
            }
            width *= 2;
        }
        // Two windows of `width` points, one at each end, cover the m + 1.
        const std::size_t shift = window - width;
        double largest = 0;
        double squares = 0;
        for (std::size_t i = 0; i + window <= points; ++i) {
            const double top = high[i + shift] > high[i] ? high[i + shift] : high[i];
            const double bottom = low[i + shift] < low[i] ? low[i + shift] : low[i];
            largest = top - bottom > largest ? top - bottom : largest;
        }
        for (std::size_t i = 0; i + window <= points; ++i) {
            const double step = x[i + m] - x[i];
            squares += step * step;
        }
        result.maximum[f] = largest;
        result.squares[f] = {squares, static_cast<std::int64_t>(points - m)};
    }
    return result;
}

} // namespace analysis
