// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <cstdint>

namespace plot {

// Point markers. Symbol kinds are the low four bits of a kind argument; kImmediateSymbol added
// draws the symbol at once instead of queueing it.
enum SymbolShape {
    kDotSymbol = 0,
    kCircleSymbol = 1,
    kSquareSymbol = 2,
    kTriangleUpSymbol = 3,
    kTriangleDownSymbol = 4,
    kTriangleRightSymbol = 5,
    kTriangleLeftSymbol = 6,
    kPlusSymbol = 7,
    kCrossSymbol = 8,
};
constexpr int kImmediateSymbol = 16;

// One queued symbol: centre, shape, size, fill mode (0 hollow, 1 back colour, 2 symbol colour,
// 3 fill colour), pen width and colours.
struct SymbolRecord {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t kind = 0;
    std::uint16_t size = 0;
    std::uint16_t fill = 0;
    std::uint16_t penWidth = 0;
    std::uint16_t reserved = 0;
    Color colour = kBlack;
    Color fillColour = kBlack;
};

// Draws one symbol on the canvas with the canvas's pen and brush set for it; shape 0 and sizes
// below 2 set the centre pixel in the pen colour the canvas has. Fill mode 1 fills with
// backColour.
void drawSymbolRecord(Canvas& c, const SymbolRecord& s, Color backColour);

} // namespace plot
