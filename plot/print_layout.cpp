// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/print_layout.h"

#include <algorithm>
#include <cmath>

namespace plot {

double printFraction(double fraction) {
    if (fraction == 0 || std::isnan(fraction)) {
        return 0.9;
    }
    return std::clamp(fraction, 0.1, 1.0);
}

PrintOrientation printOrientationFor(int positionCode, int pictureWidth, int pictureHeight) {
    switch (positionCode / 10 % 10) {
    case 2:
        return PrintOrientation::Portrait;
    case 3:
        return PrintOrientation::Landscape;
    default:
        return pictureHeight > pictureWidth ? PrintOrientation::Portrait
                                            : PrintOrientation::Landscape;
    }
}

int printPlacementFor(int positionCode) {
    const int placement = positionCode % 10;
    return placement > 0 ? placement : 5;
}

PrintLayout placePrint(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                       int placement, double fraction) {
    PrintLayout layout;
    if (pageWidth <= 0 || pageHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return layout;
    }
    fraction = printFraction(fraction);
    const int usableWidth = static_cast<int>(std::trunc(pageWidth * fraction));
    const int usableHeight = static_cast<int>(std::trunc(pageHeight * fraction));
    layout.cellSize = std::min(usableWidth / pictureWidth, usableHeight / pictureHeight);
    if (layout.cellSize == 0) {
        return layout;
    }
    const int column = (placement - 1) % 3; // 0 left, 1 centre, 2 right
    const int row = (placement - 1) / 3;    // 0 top, 1 middle, 2 bottom
    const int spareX = pageWidth - layout.cellSize * pictureWidth;
    const int spareY = pageHeight - layout.cellSize * pictureHeight;
    layout.printOffsetX = column == 0 ? 0 : column == 2 ? spareX : spareX / 2;
    layout.printOffsetY = row == 0 ? 0 : row == 2 ? spareY : spareY / 2;
    return layout;
}

PrintLayout layOutPrint(PrintTarget& printer, int pictureWidth, int pictureHeight, int positionCode,
                        double fraction) {
    printer.setOrientation(printOrientationFor(positionCode, pictureWidth, pictureHeight));
    return placePrint(printer.pageWidth(), printer.pageHeight(), pictureWidth, pictureHeight,
                      printPlacementFor(positionCode), fraction);
}

} // namespace plot
