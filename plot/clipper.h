#pragma once

// The segment clipper of world lines: cuts (x0, y0) -> (x1, y1) to the rectangle (edges
// included); false when nothing is left. The result runs left to right; an end point is cut one
// pixel beyond the edge it crosses.
struct TClipRect {
    int Left;
    int Right;
    int Top;
    int Bottom;
};
bool ClipSegment(const TClipRect& r, int& x0, int& y0, int& x1, int& y1);
