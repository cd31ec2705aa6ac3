#include "plot/canvas.h"

#include "plot/raster.h"

#include <algorithm>
#include <utility>

namespace {

// Pixels of the ellipse inscribed in the box left..right-1 x top..bottom-1 (pixel centres).
class EllipseShape {
public:
    EllipseShape(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : SumX_(left + right - 1), SumY_(top + bottom - 1), A_(right - left - 1),
          B_(bottom - top - 1), Left_(left), Top_(top), Right_(right), Bottom_(bottom) {
        const __int128 a = A_;
        const __int128 b = B_;
        // A little slack beyond the exact curve gives rounder small circles.
        Limit_ = a * a * b * b + a * b * std::min(a, b);
    }

    bool Inside(std::int64_t x, std::int64_t y) const {
        if (x < Left_ || x >= Right_ || y < Top_ || y >= Bottom_) {
            return false;
        }
        if (A_ == 0 || B_ == 0) {
            return true;
        }
        const __int128 ex = 2 * x - SumX_;
        const __int128 ey = 2 * y - SumY_;
        const __int128 a = A_;
        const __int128 b = B_;
        return ex * ex * b * b + ey * ey * a * a <= Limit_;
    }

    // Inside, with a pixel outside within `width` steps up, down, left or right.
    bool OnOutline(std::int64_t x, std::int64_t y, int width) const {
        if (!Inside(x, y)) {
            return false;
        }
        for (int k = 1; k <= width; ++k) {
            if (!Inside(x - k, y) || !Inside(x + k, y) || !Inside(x, y - k) || !Inside(x, y + k)) {
                return true;
            }
        }
        return false;
    }

private:
    std::int64_t SumX_, SumY_, A_, B_;
    std::int64_t Left_, Top_, Right_, Bottom_;
    __int128 Limit_ = 0;
};

void Normalise(int& a, int& b) {
    if (b < a) {
        std::swap(a, b);
    }
}

struct RowRange {
    std::int64_t From;
    std::int64_t To; // exclusive
};

RowRange ClampRange(std::int64_t from, std::int64_t to, int limit) {
    return {std::max<std::int64_t>(from, 0), std::min<std::int64_t>(to, limit)};
}

} // namespace

void Canvas::FillRect(int left, int top, int right, int bottom) {
    Normalise(left, right);
    Normalise(top, bottom);
    const PixelWriter writer(Image_, TPenMode::Copy, Brush.Color);
    const RowRange rows = ClampRange(top, bottom, writer.Height());
    for (std::int64_t y = rows.From; y < rows.To; ++y) {
        writer.Span(y, left, right);
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    Normalise(left, right);
    Normalise(top, bottom);
    if (right <= left || bottom <= top || Image_.isNull()) {
        return;
    }
    const bool outline = Pen.Style != TPenStyle::Clear;
    const bool fill = Brush.Style == TBrushStyle::Solid;
    if (fill) {
        // Without a pen the box loses its last row and column as well.
        const std::int64_t inset = outline ? 1 : 0;
        const PixelWriter brush(Image_, Pen.Mode, Brush.Color);
        const RowRange rows = ClampRange(top + inset, bottom - 1, brush.Height());
        for (std::int64_t y = rows.From; y < rows.To; ++y) {
            brush.Span(y, left + inset, right - 1);
        }
    }
    if (!outline) {
        return;
    }
    const PixelWriter pen(Image_, Pen.Mode, Pen.Color);
    if (Pen.Width <= 1 && Pen.Style == TPenStyle::Solid) {
        pen.Span(top, left, right);
        if (bottom - 1 > top) {
            pen.Span(bottom - 1, left, right);
        }
        const RowRange rows = ClampRange(top + 1, bottom - 1, pen.Height());
        for (std::int64_t y = rows.From; y < rows.To; ++y) {
            pen.Put(left, y);
            if (right - 1 > left) {
                pen.Put(right - 1, y);
            }
        }
        return;
    }
    const std::vector<QPoint> path{
        {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    const QPoint saved = PenPos_;
    const TBrushStyle savedBrush = Brush.Style;
    Brush.Style = TBrushStyle::Clear;
    Polygon(path);
    Brush.Style = savedBrush;
    PenPos_ = saved;
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
    Normalise(left, right);
    Normalise(top, bottom);
    if (right <= left || bottom <= top || Image_.isNull()) {
        return;
    }
    const EllipseShape shape(left, top, right, bottom);
    const bool outline = Pen.Style != TPenStyle::Clear;
    const bool fill = Brush.Style == TBrushStyle::Solid;
    const int width = std::max(Pen.Width, 1);
    const PixelWriter pen(Image_, Pen.Mode, Pen.Color);
    const PixelWriter brush(Image_, Pen.Mode, Brush.Color);
    const RowRange rows = ClampRange(top, bottom, Image_.height());
    const RowRange cols = ClampRange(left, right, Image_.width());
    for (std::int64_t y = rows.From; y < rows.To; ++y) {
        for (std::int64_t x = cols.From; x < cols.To; ++x) {
            if (outline && shape.OnOutline(x, y, width)) {
                pen.Put(x, y);
            } else if (fill && shape.Inside(x, y)) {
                brush.Put(x, y);
            }
        }
    }
}

namespace {

// x where the edge crosses row y, rounded up: the first pixel at or right of the crossing.
std::int64_t CrossingCeil(const QPoint& a, const QPoint& b, std::int64_t y) {
    const __int128 num = static_cast<__int128>(a.x()) * (b.y() - a.y()) +
                         static_cast<__int128>(y - a.y()) * (b.x() - a.x());
    const __int128 den = b.y() - a.y();
    const __int128 n = den < 0 ? -num : num;
    const __int128 d = den < 0 ? -den : den;
    const __int128 q = n / d;
    return static_cast<std::int64_t>((n % d != 0 && n > 0) ? q + 1 : q);
}

} // namespace

void Canvas::Polygon(const std::vector<QPoint>& points) {
    if (points.empty() || Image_.isNull()) {
        return;
    }
    const std::size_t count = points.size();
    if (Brush.Style == TBrushStyle::Solid && count >= 3) {
        int minY = points[0].y();
        int maxY = points[0].y();
        for (const QPoint& p : points) {
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
        const PixelWriter brush(Image_, Pen.Mode, Brush.Color);
        const RowRange rows = ClampRange(minY, maxY, brush.Height());
        std::vector<std::int64_t> crossings;
        for (std::int64_t y = rows.From; y < rows.To; ++y) {
            crossings.clear();
            for (std::size_t i = 0; i < count; ++i) {
                const QPoint& a = points[i];
                const QPoint& b = points[(i + 1) % count];
                const bool spans = (a.y() <= y && y < b.y()) || (b.y() <= y && y < a.y());
                if (spans) {
                    crossings.push_back(CrossingCeil(a, b, y));
                }
            }
            std::sort(crossings.begin(), crossings.end());
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
                brush.Span(y, crossings[k], crossings[k + 1]);
            }
        }
    }
    if (Pen.Style == TPenStyle::Clear) {
        return;
    }
    const QPoint saved = PenPos_;
    if (Pen.Width <= 1) {
        MoveTo(points[0].x(), points[0].y());
        for (std::size_t i = 1; i <= count; ++i) {
            const QPoint& p = points[i % count];
            LineTo(p.x(), p.y());
        }
    } else {
        // One mask for the whole outline, so joints are painted once.
        const PixelWriter pen(Image_, Pen.Mode, Pen.Color);
        PixelMask mask(pen.Width(), pen.Height());
        const int width = Pen.Width;
        for (std::size_t i = 0; i < count; ++i) {
            const QPoint& a = points[i];
            const QPoint& b = points[(i + 1) % count];
            ForEachLinePixel(a.x(), a.y(), b.x(), b.y(), pen.Width(), pen.Height(), width, true,
                             [&](std::int64_t px, std::int64_t py, std::int64_t) {
                                 AddPenDisc(mask, px, py, width);
                             });
        }
        mask.PaintWith(pen);
    }
    PenPos_ = saved;
}
