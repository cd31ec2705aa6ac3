#include "plot/canvas.h"

#include "plot/raster.h"

namespace {

QImage MakeImage(int width, int height) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

Canvas::Canvas() : Canvas(0, 0) {}

Canvas::Canvas(int width, int height) : Image_(MakeImage(width, height)) {}

void Canvas::SetSize(int width, int height) {
    if (width != Image_.width() || height != Image_.height()) {
        Image_ = MakeImage(width, height);
    }
}

TColor Canvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Image_.width() || y >= Image_.height()) {
        return -1;
    }
    return FromQRgb(reinterpret_cast<const QRgb*>(Image_.constScanLine(y))[x]);
}

void Canvas::SetPixel(int x, int y, TColor color) {
    PixelWriter(Image_, TPenMode::Copy, color).Put(x, y);
}

void Canvas::MoveTo(int x, int y) {
    PenPos_ = QPoint(x, y);
}

void Canvas::LineTo(int x, int y) {
    const QPoint from = PenPos_;
    PenPos_ = QPoint(x, y);
    if (Pen.Style == TPenStyle::Clear || Image_.isNull()) {
        return;
    }
    const PixelWriter writer(Image_, Pen.Mode, Pen.Color);
    if (Pen.Width <= 1) {
        const TPenStyle style = Pen.Style;
        ForEachLinePixel(from.x(), from.y(), x, y, writer.Width(), writer.Height(), 0, false,
                         [&](std::int64_t px, std::int64_t py, std::int64_t i) {
                             if (PenPatternOn(style, i)) {
                                 writer.Put(px, py);
                             }
                         });
        return;
    }
    // A wide pen covers both ends with its round tip; other styles draw solid, as wide cosmetic
    // pens do.
    const int width = EffectivePenWidth(Pen.Width);
    WidePenStroke stroke(writer, Pen.Mode, width, std::min(from.x(), x), std::min(from.y(), y),
                         std::max(from.x(), x), std::max(from.y(), y));
    ForEachLinePixel(from.x(), from.y(), x, y, writer.Width(), writer.Height(), width, true,
                     [&](std::int64_t px, std::int64_t py, std::int64_t) { stroke.Stamp(px, py); });
    stroke.Paint();
}
