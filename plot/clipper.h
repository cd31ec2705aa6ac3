// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace plot {

// The segment clipper of world lines: cuts (x0, y0) -> (x1, y1) to the rectangle (edges
// included); false when nothing is left. The result runs left to right; an end point is cut one
// pixel beyond the edge it crosses.
struct ClipRect {
    int left;
    int right;
    int top;
    int bottom;
};
bool clipSegment(const ClipRect& r, int& x0, int& y0, int& x1, int& y1);

} // namespace plot
