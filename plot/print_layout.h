#pragma once

#include "plot/print_target.h"

// Where and how large a picture lands on the printed page.
struct PrintLayout {
    int CellSize = 0; // printer pixels per picture pixel; 0 = the picture cannot be printed
    int PrintOffsetX = 0;
    int PrintOffsetY = 0;
    friend bool operator==(const PrintLayout&, const PrintLayout&) = default;
};

// The share of the page the picture may fill: 0 means 0.9, the rest is held to 0.1 .. 1.
double PrintFraction(double fraction);

// Tens digit of the position code: 2 portrait, 3 landscape, anything else follows the picture
// (portrait only when it is taller than wide).
PrintOrientation PrintOrientationFor(int positionCode, int pictureWidth, int pictureHeight);

// Units digit of the position code, 1..9 like a phone keypad (top-left .. bottom-right); 0 = 5.
int PrintPlacementFor(int positionCode);

// The largest whole cell size that fits fraction x page in both directions, and the offsets of
// the placement. A page or picture without size gives cell size 0.
PrintLayout PlacePrint(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                       int placement, double fraction);

// Sets the printer's orientation for the code, then places the picture on its page.
PrintLayout LayOutPrint(PrintTarget& printer, int pictureWidth, int pictureHeight, int positionCode,
                        double fraction);
