// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace plot {

// Round to the nearest integer with halves to the even one (2.5 -> 2, -0.5 -> 0). Values beyond
// the 32-bit range saturate; NaN gives 0.
inline std::int32_t roundHalfEven(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    const double r = std::nearbyint(v);
    if (r <= lo) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (r >= hi) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(r);
}

// Cut toward zero to a 32-bit integer, saturating like RoundHalfEven.
inline std::int32_t truncToInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    return roundHalfEven(std::trunc(v));
}

} // namespace plot
