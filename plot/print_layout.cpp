#include "plot/print_layout.h"

#include <algorithm>
#include <cmath>

double PrintFraction(double fraction) {
    if (fraction == 0 || std::isnan(fraction)) {
        return 0.9;
    }
    return std::clamp(fraction, 0.1, 1.0);
}

PrintOrientation PrintOrientationFor(int positionCode, int pictureWidth, int pictureHeight) {
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

int PrintPlacementFor(int positionCode) {
    const int placement = positionCode % 10;
    return placement > 0 ? placement : 5;
}

PrintLayout PlacePrint(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight,
                       int placement, double fraction) {
    PrintLayout layout;
    if (pageWidth <= 0 || pageHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return layout;
    }
    fraction = PrintFraction(fraction);
    const int usableWidth = static_cast<int>(std::trunc(pageWidth * fraction));
    const int usableHeight = static_cast<int>(std::trunc(pageHeight * fraction));
    layout.CellSize = std::min(usableWidth / pictureWidth, usableHeight / pictureHeight);
    if (layout.CellSize == 0) {
        return layout;
    }
    const int column = (placement - 1) % 3; // 0 left, 1 centre, 2 right
    const int row = (placement - 1) / 3;    // 0 top, 1 middle, 2 bottom
    const int spareX = pageWidth - layout.CellSize * pictureWidth;
    const int spareY = pageHeight - layout.CellSize * pictureHeight;
    layout.PrintOffsetX = column == 0 ? 0 : column == 2 ? spareX : spareX / 2;
    layout.PrintOffsetY = row == 0 ? 0 : row == 2 ? spareY : spareY / 2;
    return layout;
}

PrintLayout LayOutPrint(PrintTarget& printer, int pictureWidth, int pictureHeight, int positionCode,
                        double fraction) {
    printer.SetOrientation(PrintOrientationFor(positionCode, pictureWidth, pictureHeight));
    return PlacePrint(printer.PageWidth(), printer.PageHeight(), pictureWidth, pictureHeight,
                      PrintPlacementFor(positionCode), fraction);
}
