// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace plot {

// The three roundings the axis arithmetic relies on, kept in extended precision so that values
// just beside a tie or a power of ten come out as the step arithmetic intends.

// Nearest integer, a tie going to the even neighbour (2.5 -> 2, -0.5 -> 0).
inline long double roundEven(long double v) {
    return std::nearbyint(v);
}

// Towards zero (-1.7 -> -1); kept as a floating value so that huge quotients do not overflow.
inline long double trunc(long double v) {
    return std::trunc(v);
}

// Towards zero as a floating value (Int(-0.3) = 0.0).
inline long double intPart(long double v) {
    return std::trunc(v) + 0.0L;
}

// RoundEven as an int, limited to the int range first.
inline int roundToInt(long double v) {
    const long double r = roundEven(v);
    if (!(r > -2147483648.0L))
        return r != r ? 0 : -2147483647 - 1;
    if (r > 2147483647.0L)
        return 2147483647;
    return static_cast<int>(r);
}

} // namespace plot
