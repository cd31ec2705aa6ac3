// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/print_target.h"

namespace plot {

// Where and how large a picture lands on the printed page.
struct PrintLayout {
    int cellSize = 0; // printer pixels per picture pixel; 0 = the picture cannot be printed
    int printOffsetX = 0;
    int printOffsetY = 0;
    friend bool operator==(const PrintLayout&, const PrintLayout&) = default;
};

// The share of the page the picture may fill: 0 means 0.9, the rest is held to 0.1 .. 1.
double printFraction(double fraction);

// Tens digit of the position code: 2 portrait, 3 landscape, anything else follows the picture
// (portrait only when it is taller than wide).
PrintOrientation printOrientationFor(int positionCode, int pictureWidth, int pictureHeight);

// Units digit of the position code, 1..9 like a phone keypad (top-left .. bottom-right); 0 = 5.
int printPlacementFor(int positionCode);

// The largest whole cell size that fits fraction x page in both directions, and the offsets of
// the placement. A page or picture without size gives cell size 0.
PrintLayout placePrint(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                       int placement, double fraction);

// Sets the printer's orientation for the code, then places the picture on its page.
PrintLayout layOutPrint(PrintTarget& printer, int pictureWidth, int pictureHeight, int positionCode,
                        double fraction);

} // namespace plot
