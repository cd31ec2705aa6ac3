#include "plot/print_rows.h"

#include <QImage>

namespace {

constexpr QRgb kWhite = 0xFFFFFF;

// The picture stores blue in the low byte; canvas colours keep red there.
TColor CanvasColour(QRgb pixel) {
    return MakeColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

} // namespace

bool PrintPictureRow(const QImage& picture, int y, const PrintLayout& layout,
                     PrintTarget& printer) {
    const int width = picture.width();
    if (picture.depth() != 32 || width > kLongestPrintRow || y < 0 || y >= picture.height()) {
        return false;
    }
    const QRgb* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    const int h = layout.CellSize;
    const int s = h / 2;
    int x = 0;
    while (x < width) {
        const QRgb colour = row[x] & kWhite;
        if (colour == kWhite) {
            ++x;
            continue;
        }
        int x2 = x;
        while (x2 + 1 < width && (row[x2 + 1] & kWhite) == colour) {
            ++x2;
        }
        const PrintRect block{layout.PrintOffsetX + x * h - s, layout.PrintOffsetY + y * h - s,
                              layout.PrintOffsetX + x2 * h + h - s,
                              layout.PrintOffsetY + y * h + h - s};
        if (!printer.FillRect(block, CanvasColour(colour))) {
            return false;
        }
        x = x2 + 1;
    }
    return true;
}

bool PrintPicture(const QImage& picture, const PrintLayout& layout, PrintTarget& printer,
                  const std::function<void(int y)>& beforeRow) {
    const QImage rows = picture.convertToFormat(QImage::Format_RGB32);
    if (!printer.BeginDocument()) {
        return false;
    }
    for (int y = 0; y < rows.height(); ++y) {
        if (beforeRow) {
            beforeRow(y);
        }
        if (!PrintPictureRow(rows, y, layout, printer)) {
            printer.AbortDocument();
            return false;
        }
    }
    if (!printer.EndDocument()) {
        printer.AbortDocument();
        return false;
    }
    return true;
}
