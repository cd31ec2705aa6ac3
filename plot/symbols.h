#pragma once

#include "plot/canvas.h"

#include <cstdint>

// Point markers. Symbol kinds are the low four bits of a kind argument; kImmediateSymbol added
// draws the symbol at once instead of queueing it.
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

// One queued symbol: centre, shape, size, fill mode (0 hollow, 1 back colour, 2 symbol colour,
// 3 fill colour), pen width and colours.
struct TSymbolRecord {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::uint16_t Kind = 0;
    std::uint16_t Size = 0;
    std::uint16_t Fill = 0;
    std::uint16_t PenWidth = 0;
    std::uint16_t Reserved = 0;
    TColor Colour = clBlack;
    TColor FillColour = clBlack;
};

// Draws one symbol on the canvas with the canvas's pen and brush set for it; shape 0 and sizes
// below 2 set the centre pixel in the pen colour the canvas has. Fill mode 1 fills with
// backColour.
void DrawSymbolRecord(Canvas& c, const TSymbolRecord& s, TColor backColour);
