// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/clipper.h"

#include "plot/rounding.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace plot {

namespace {

using Coord = std::int64_t;

// Round(num / den * factor), the fraction taken first.
Coord cutOffset(Coord num, Coord den, Coord factor) {
    return roundHalfEven(static_cast<double>(num) / static_cast<double>(den) *
                         static_cast<double>(factor));
}

bool bothAbove(Coord y0, Coord y1, Coord top) {
    return y0 < top && y1 < top;
}
bool bothBelow(Coord y0, Coord y1, Coord bottom) {
    return y0 > bottom && y1 > bottom;
}
bool within(Coord v, Coord lo, Coord hi) {
    return v >= lo && v <= hi;
}

// The clipper proper, in 64-bit so that any pen position is safe.
bool clipCoords(const ClipRect& rect, Coord& x0, Coord& y0, Coord& x1, Coord& y1);

} // namespace

bool clipSegment(const ClipRect& r, int& x0, int& y0, int& x1, int& y1) {
    Coord a = x0, b = y0, c = x1, d = y1;
    const bool visible = clipCoords(r, a, b, c, d);
    x0 = static_cast<int>(a);
    y0 = static_cast<int>(b);
    x1 = static_cast<int>(c);
    y1 = static_cast<int>(d);
    return visible;
}

namespace {

bool clipCoords(const ClipRect& rect, Coord& x0, Coord& y0, Coord& x1, Coord& y1) {
    const Coord left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    if (x0 > left && x1 < right && within(y0, top, bottom) && within(y1, top, bottom)) {
        return true;
    }
    if (x1 < left || x0 > right || bothAbove(y0, y1, top) || bothBelow(y0, y1, bottom)) {
        return false;
    }
    if (x0 == x1) {
        if (y0 == y1) {
            return false;
        }
        y0 = std::clamp(y0, top, bottom);
        if (y1 < top) {
            y1 = top - 1;
        } else if (y1 > bottom) {
            y1 = bottom + 1;
        }
        return true;
    }
    if (x0 < left) {
        y0 += cutOffset(left - x0, x1 - x0, y1 - y0);
        x0 = left;
    }
    if (x1 > right) {
        y1 += cutOffset(right + 1 - x1, x1 - x0, y1 - y0);
        x1 = right + 1;
    }
    if (bothAbove(y0, y1, top) || bothBelow(y0, y1, bottom)) {
        return false;
    }
    if (within(y0, top, bottom) && within(y1, top, bottom)) {
        return true;
    }
    if (y1 > y0) {
        if (y0 < top) {
            x0 += cutOffset(top - y0, y1 - y0, x1 - x0);
            y0 = top;
        }
        if (y1 > bottom) {
            x1 += cutOffset(bottom + 1 - y1, y1 - y0, x1 - x0);
            y1 = bottom + 1;
        }
    } else {
        if (y1 < top) {
            x1 += cutOffset(top - 1 - y1, y1 - y0, x1 - x0);
            y1 = top - 1;
        }
        if (y0 > bottom) {
            x0 += cutOffset(bottom - y0, y1 - y0, x1 - x0);
            y0 = bottom;
        }
    }
    return true;
}

} // namespace

} // namespace plot
