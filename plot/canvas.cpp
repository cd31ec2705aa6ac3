// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"

#include "plot/raster.h"
#include "plot/vector_echo.h"

namespace plot {

namespace {

QImage makeImage(int width, int height) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

Canvas::Canvas() : Canvas(0, 0) {}

Canvas::Canvas(int width, int height) : image_(makeImage(width, height)) {}

void Canvas::setSize(int width, int height) {
    if (width != image_.width() || height != image_.height()) {
        image_ = makeImage(width, height);
    }
}

Color Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return -1;
    }
    return fromQRgb(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::setPixel(int x, int y, Color color) {
    if (echo_ != nullptr) {
        echo_->pixel(x, y, color);
    }
    PixelWriter(image_, PenMode::Copy, color).put(x, y);
}

void Canvas::moveTo(int x, int y) {
    penPos_ = QPoint(x, y);
}

void Canvas::lineTo(int x, int y) {
    const QPoint from = penPos_;
    penPos_ = QPoint(x, y);
    if (echo_ != nullptr) {
        echo_->line(from, penPos_, pen);
    }
    if (pen.style == PenStyle::Clear || image_.isNull()) {
        return;
    }
    const PixelWriter writer(image_, pen.mode, pen.color);
    if (pen.width <= 1) {
        const PenStyle style = pen.style;
        forEachLinePixel(from.x(), from.y(), x, y, writer.width(), writer.height(), 0, false,
                         [&](std::int64_t px, std::int64_t py, std::int64_t i) {
                             if (penPatternOn(style, i)) {
                                 writer.put(px, py);
                             }
                         });
        return;
    }
    // A wide pen covers both ends with its round tip; other styles draw solid, as wide cosmetic
    // pens do.
    const int width = effectivePenWidth(pen.width);
    WidePenStroke stroke(writer, pen.mode, width, std::min(from.x(), x), std::min(from.y(), y),
                         std::max(from.x(), x), std::max(from.y(), y));
    forEachLinePixel(from.x(), from.y(), x, y, writer.width(), writer.height(), width, true,
                     [&](std::int64_t px, std::int64_t py, std::int64_t) { stroke.stamp(px, py); });
    stroke.paint();
}

} // namespace plot
