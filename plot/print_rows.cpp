// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/print_rows.h"

#include <QImage>

namespace plot {

namespace {

constexpr QRgb kWhiteRgb = 0xFFFFFF;

// The picture stores blue in the low byte; canvas colours keep red there.
Color canvasColour(QRgb pixel) {
    return makeColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

} // namespace

bool printPictureRow(const QImage& picture, int y, const PrintLayout& layout,
                     PrintTarget& printer) {
    const int width = picture.width();
    if (picture.depth() != 32 || width > kLongestPrintRow || y < 0 || y >= picture.height()) {
        return false;
    }
    const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    const int h = layout.cellSize;
    const int s = h / 2;
    int x = 0;
    while (x < width) {
        const QRgb colour = row[x] & kWhiteRgb;
        if (colour == kWhiteRgb) {
            ++x;
            continue;
        }
        int x2 = x;
        while (x2 + 1 < width && (row[x2 + 1] & kWhiteRgb) == colour) {
            ++x2;
        }
        const PrintRect block{layout.printOffsetX + x * h - s, layout.printOffsetY + y * h - s,
                              layout.printOffsetX + x2 * h + h - s,
                              layout.printOffsetY + y * h + h - s};
        if (!printer.fillRect(block, canvasColour(colour))) {
            return false;
        }
        x = x2 + 1;
    }
    return true;
}

bool printPicture(const QImage& picture, const PrintLayout& layout, PrintTarget& printer,
                  const std::function<void(int y)>& beforeRow) {
    const QImage rows = picture.convertToFormat(QImage::Format_RGB32);
    if (!printer.beginDocument()) {
        return false;
    }
    for (int y = 0; y < rows.height(); ++y) {
        if (beforeRow) {
            beforeRow(y);
        }
        if (!printPictureRow(rows, y, layout, printer)) {
            printer.abortDocument();
            return false;
        }
    }
    if (!printer.endDocument()) {
        printer.abortDocument();
        return false;
    }
    return true;
}

} // namespace plot
