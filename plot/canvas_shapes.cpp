#include "plot/canvas.h"

#include "plot/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct RowSpan {
    std::int64_t From = 0;
    std::int64_t To = 0; // exclusive; From == To is an empty row
    bool Contains(std::int64_t x) const { return x >= From && x < To; }
};

// The ellipse inscribed in the box left..right-1 x top..bottom-1, pixel centres on the curve or
// inside it, row by row. A little slack beyond the exact curve gives rounder small circles.
class EllipseShape {
public:
    EllipseShape(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : SumX_(left + right - 1), SumY_(top + bottom - 1), A_(right - left - 1),
          B_(bottom - top - 1), Left_(left), Top_(top), Right_(right), Bottom_(bottom) {
        const __int128 a = A_;
        const __int128 b = B_;
        Limit_ = a * a * b * b + a * b * std::min(a, b);
        Small_ = A_ <= 30000 && B_ <= 30000;
        SmallLimit_ = Small_ ? static_cast<std::int64_t>(Limit_) : 0;
    }

    RowSpan Row(std::int64_t y) const {
        if (y < Top_ || y >= Bottom_) {
            return {};
        }
        if (A_ == 0 || B_ == 0) {
            return {Left_, Right_};
        }
        // Largest |2x - SumX| with (2x - SumX)^2 * B^2 <= Limit - (2y - SumY)^2 * A^2.
        const std::int64_t e = Small_ ? ReachSmall(y) : ReachLarge(y);
        if (e < 0) {
            return {};
        }
        return {(SumX_ - e) / 2, (SumX_ + e) / 2 + 1};
    }

private:
    // Largest e of the parity of SumX with e^2 <= bound (-1 when there is none).
    std::int64_t Reach(std::int64_t bound) const {
        auto e = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(bound)));
        while (e > 0 && static_cast<__int128>(e) * e > bound) {
            --e;
        }
        while (static_cast<__int128>(e + 1) * (e + 1) <= bound) {
            ++e;
        }
        return ((e + SumX_) & 1) != 0 ? e - 1 : e;
    }

    // Boxes up to 30000 pixels fit 64-bit arithmetic, the common case made fast.
    std::int64_t ReachSmall(std::int64_t y) const {
        const std::int64_t ey = 2 * y - SumY_;
        const std::int64_t room = SmallLimit_ - ey * ey * A_ * A_;
        return room < 0 ? -1 : Reach(room / (B_ * B_));
    }

    std::int64_t ReachLarge(std::int64_t y) const {
        const __int128 ey = 2 * y - SumY_;
        const __int128 a = A_;
        const __int128 b = B_;
        const __int128 room = Limit_ - ey * ey * a * a;
        return room < 0 ? -1 : Reach(static_cast<std::int64_t>(room / (b * b)));
    }

    std::int64_t SumX_, SumY_, A_, B_;
    std::int64_t Left_, Top_, Right_, Bottom_;
    __int128 Limit_ = 0;
    bool Small_ = false;
    std::int64_t SmallLimit_ = 0;
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
    const int width = outline ? EffectivePenWidth(Pen.Width) : 0;
    const PixelWriter pen(Image_, Pen.Mode, Pen.Color);
    const PixelWriter brush(Image_, Pen.Mode, Brush.Color);
    const RowRange rows = ClampRange(top, bottom, Image_.height());
    if (rows.From >= rows.To) {
        return;
    }
    // Spans of the drawn rows and of `width` rows around them.
    const std::int64_t firstRow = rows.From - width;
    std::vector<RowSpan> spans(static_cast<std::size_t>(rows.To - rows.From + 2 * width));
    for (std::size_t i = 0; i < spans.size(); ++i) {
        spans[i] = shape.Row(firstRow + static_cast<std::int64_t>(i));
    }
    auto spanOf = [&](std::int64_t y) { return spans[static_cast<std::size_t>(y - firstRow)]; };
    for (std::int64_t y = rows.From; y < rows.To; ++y) {
        const RowSpan span = spanOf(y);
        if (span.From >= span.To) {
            continue;
        }
        // The inside of the row: `width` pixels from its ends and from the rows above and below
        // that do not reach as far belong to the outline.
        RowSpan inner{span.From + width, span.To - width};
        for (int k = 1; k <= width; ++k) {
            for (const RowSpan& other : {spanOf(y - k), spanOf(y + k)}) {
                inner.From = std::max(inner.From, other.From);
                inner.To = std::min(inner.To, other.To);
            }
            if (inner.To <= inner.From) {
                break;
            }
        }
        if (inner.To < inner.From) {
            inner.To = inner.From;
        }
        if (outline) {
            pen.Span(y, span.From, std::min(inner.From, span.To));
            pen.Span(y, std::max(inner.To, inner.From), span.To);
        }
        if (fill) {
            brush.Span(y, inner.From, inner.To);
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
        // One stroke for the whole outline, so joints are painted once.
        const PixelWriter pen(Image_, Pen.Mode, Pen.Color);
        const int width = EffectivePenWidth(Pen.Width);
        std::int64_t left = points[0].x(), right = left, top = points[0].y(), bottom = top;
        for (const QPoint& p : points) {
            left = std::min<std::int64_t>(left, p.x());
            right = std::max<std::int64_t>(right, p.x());
            top = std::min<std::int64_t>(top, p.y());
            bottom = std::max<std::int64_t>(bottom, p.y());
        }
        WidePenStroke stroke(pen, Pen.Mode, width, left, top, right, bottom);
        for (std::size_t i = 0; i < count; ++i) {
            const QPoint& a = points[i];
            const QPoint& b = points[(i + 1) % count];
            ForEachLinePixel(
                a.x(), a.y(), b.x(), b.y(), pen.Width(), pen.Height(), width, true,
                [&](std::int64_t px, std::int64_t py, std::int64_t) { stroke.Stamp(px, py); });
        }
        stroke.Paint();
    }
    PenPos_ = saved;
}
