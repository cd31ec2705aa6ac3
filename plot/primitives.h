#pragma once

#include "plot/colors.h"

#include <QPoint>
#include <vector>

// Polylines and point markers. Coordinates are picture pixels while PicturePixelMode is set and
// world values (mapped and clipped to the plot rectangle) once the axes stand.

void MoveTo(double x, double y);
void DrawTo(double x, double y);

// Symbol kinds (low four bits of the kind argument); add kImmediateSymbol to draw at once.
enum TSymbolShape {
    ssDot = 0,
    ssCircle = 1,
    ssSquare = 2,
    ssTriangleUp = 3,
    ssTriangleDown = 4,
    ssTriangleRight = 5,
    ssTriangleLeft = 6,
    ssPlus = 7,
    ssCross = 8,
};
constexpr int kImmediateSymbol = 16;

// Fill modes: 0 hollow, 1 back colour, 2 symbol colour, 3 fill colour (black).
// Returns false when the symbol is refused (negative size, size or fill out of range); skipped
// symbols (shape above 8, fill -1..-3, centre outside) return true.
bool DrawSymbol(int kind, int size, int fill);

// Draws the queued symbols in queue order and empties the queue.
void DrawSymbolQueue();

// The segment clipper: cuts (x0, y0) -> (x1, y1) to the rectangle; false when nothing is left.
// The result runs left to right; the end point is cut one pixel beyond the edge it crosses.
struct TClipRect {
    int Left;
    int Right;
    int Top;
    int Bottom;
};
bool ClipSegment(const TClipRect& r, int& x0, int& y0, int& x1, int& y1);

// Canvas helpers on the engine's canvas; a negative colour leaves that colour as it is.
void PlotPixel(int x, int y, TColor colour);
void PlotLine(TColor penColour, int x0, int y0, int x1, int y1);
void PlotRectangle(TColor penColour, TColor brushColour, int x0, int y0, int x1, int y1);
void PlotPolygon(TColor penColour, TColor brushColour, const std::vector<QPoint>& points);
void PlotEllipse(TColor penColour, TColor brushColour, int cx, int cy, int radius);
void SaveAttributes();
void RestoreAttributes();
