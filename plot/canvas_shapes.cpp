// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/canvas.h"

#include "plot/raster.h"
#include "plot/vector_echo.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace plot {

namespace {

struct RowSpan {
    std::int64_t from = 0;
    std::int64_t to = 0; // exclusive; From == To is an empty row
    bool contains(std::int64_t x) const { return x >= from && x < to; }
};

// The ellipse inscribed in the box left..right-1 x top..bottom-1, pixel centres on the curve or
// inside it, row by row. A little slack beyond the exact curve gives rounder small circles.
class EllipseShape {
public:
    EllipseShape(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : sumX_(left + right - 1), sumY_(top + bottom - 1), a_(right - left - 1),
          b_(bottom - top - 1), left_(left), top_(top), right_(right), bottom_(bottom) {
        const __int128 a = a_;
        const __int128 b = b_;
        limit_ = a * a * b * b + a * b * std::min(a, b);
        small_ = a_ <= 30000 && b_ <= 30000;
        smallLimit_ = small_ ? static_cast<std::int64_t>(limit_) : 0;
    }

    RowSpan row(std::int64_t y) const {
        if (y < top_ || y >= bottom_) {
            return {};
        }
        if (a_ == 0 || b_ == 0) {
            return {left_, right_};
        }
        // Largest |2x - SumX| with (2x - SumX)^2 * B^2 <= Limit - (2y - SumY)^2 * A^2.
        const std::int64_t e = small_ ? reachSmall(y) : reachLarge(y);
        if (e < 0) {
            return {};
        }
        return {(sumX_ - e) / 2, (sumX_ + e) / 2 + 1};
    }

private:
    // Largest e of the parity of SumX with e^2 <= bound (-1 when there is none).
    std::int64_t reach(std::int64_t bound) const {
        auto e = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(bound)));
        while (e > 0 && static_cast<__int128>(e) * e > bound) {
            --e;
        }
        while (static_cast<__int128>(e + 1) * (e + 1) <= bound) {
            ++e;
        }
        return ((e + sumX_) & 1) != 0 ? e - 1 : e;
    }

    // Boxes up to 30000 pixels fit 64-bit arithmetic, the common case made fast.
    std::int64_t reachSmall(std::int64_t y) const {
        const std::int64_t ey = 2 * y - sumY_;
        const std::int64_t room = smallLimit_ - ey * ey * a_ * a_;
        return room < 0 ? -1 : reach(room / (b_ * b_));
    }

    std::int64_t reachLarge(std::int64_t y) const {
        const __int128 ey = 2 * y - sumY_;
        const __int128 a = a_;
        const __int128 b = b_;
        const __int128 room = limit_ - ey * ey * a * a;
        return room < 0 ? -1 : reach(static_cast<std::int64_t>(room / (b * b)));
    }

    std::int64_t sumX_, sumY_, a_, b_;
    std::int64_t left_, top_, right_, bottom_;
    __int128 limit_ = 0;
    bool small_ = false;
    std::int64_t smallLimit_ = 0;
};

void normalise(int& a, int& b) {
    if (b < a) {
        std::swap(a, b);
    }
}

struct RowRange {
    std::int64_t from;
    std::int64_t to; // exclusive
};

RowRange clampRange(std::int64_t from, std::int64_t to, int limit) {
    return {std::max<std::int64_t>(from, 0), std::min<std::int64_t>(to, limit)};
}

} // namespace

void Canvas::fillRect(int left, int top, int right, int bottom) {
    normalise(left, right);
    normalise(top, bottom);
    if (echo_ != nullptr) {
        echo_->fillRect(left, top, right, bottom, brush.color);
    }
    const PixelWriter writer(image_, PenMode::Copy, brush.color);
    const RowRange rows = clampRange(top, bottom, writer.height());
    for (std::int64_t y = rows.from; y < rows.to; ++y) {
        writer.span(y, left, right);
    }
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    normalise(left, right);
    normalise(top, bottom);
    if (right <= left || bottom <= top || image_.isNull()) {
        return;
    }
    if (echo_ != nullptr) {
        echo_->rectangle(left, top, right, bottom, pen, brush);
    }
    const EchoPause pause(echo_);
    const bool outline = pen.style != PenStyle::Clear;
    const bool fill = brush.style == BrushStyle::Solid;
    if (fill) {
        // Without a pen the box loses its last row and column as well.
        const std::int64_t inset = outline ? 1 : 0;
        const PixelWriter brushWriter(image_, pen.mode, brush.color);
        const RowRange rows = clampRange(top + inset, bottom - 1, brushWriter.height());
        for (std::int64_t y = rows.from; y < rows.to; ++y) {
            brushWriter.span(y, left + inset, right - 1);
        }
    }
    if (!outline) {
        return;
    }
    const PixelWriter penWriter(image_, pen.mode, pen.color);
    if (pen.width <= 1 && pen.style == PenStyle::Solid) {
        penWriter.span(top, left, right);
        if (bottom - 1 > top) {
            penWriter.span(bottom - 1, left, right);
        }
        const RowRange rows = clampRange(top + 1, bottom - 1, penWriter.height());
        for (std::int64_t y = rows.from; y < rows.to; ++y) {
            penWriter.put(left, y);
            if (right - 1 > left) {
                penWriter.put(right - 1, y);
            }
        }
        return;
    }
    const std::vector<QPoint> path{
        {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
    const QPoint saved = penPos_;
    const BrushStyle savedBrush = brush.style;
    brush.style = BrushStyle::Clear;
    polygon(path);
    brush.style = savedBrush;
    penPos_ = saved;
}

void Canvas::ellipse(int left, int top, int right, int bottom) {
    normalise(left, right);
    normalise(top, bottom);
    if (right <= left || bottom <= top || image_.isNull()) {
        return;
    }
    if (echo_ != nullptr) {
        echo_->ellipse(left, top, right, bottom, pen, brush);
    }
    const EllipseShape shape(left, top, right, bottom);
    const bool outline = pen.style != PenStyle::Clear;
    const bool fill = brush.style == BrushStyle::Solid;
    const int width = outline ? effectivePenWidth(pen.width) : 0;
    const PixelWriter penWriter(image_, pen.mode, pen.color);
    const PixelWriter brushWriter(image_, pen.mode, brush.color);
    const RowRange rows = clampRange(top, bottom, image_.height());
    if (rows.from >= rows.to) {
        return;
    }
    // Spans of the drawn rows and of `width` rows around them.
    const std::int64_t firstRow = rows.from - width;
    std::vector<RowSpan> spans(static_cast<std::size_t>(rows.to - rows.from + 2 * width));
    for (std::size_t i = 0; i < spans.size(); ++i) {
        spans[i] = shape.row(firstRow + static_cast<std::int64_t>(i));
    }
    auto spanOf = [&](std::int64_t y) { return spans[static_cast<std::size_t>(y - firstRow)]; };
    for (std::int64_t y = rows.from; y < rows.to; ++y) {
        const RowSpan span = spanOf(y);
        if (span.from >= span.to) {
            continue;
        }
        // The inside of the row: `width` pixels from its ends and from the rows above and below
        // that do not reach as far belong to the outline.
        RowSpan inner{span.from + width, span.to - width};
        for (int k = 1; k <= width; ++k) {
            for (const RowSpan& other : {spanOf(y - k), spanOf(y + k)}) {
                inner.from = std::max(inner.from, other.from);
                inner.to = std::min(inner.to, other.to);
            }
            if (inner.to <= inner.from) {
                break;
            }
        }
        if (inner.to < inner.from) {
            inner.to = inner.from;
        }
        if (outline) {
            penWriter.span(y, span.from, std::min(inner.from, span.to));
            penWriter.span(y, std::max(inner.to, inner.from), span.to);
        }
        if (fill) {
            brushWriter.span(y, inner.from, inner.to);
        }
    }
}

namespace {

// x where the edge crosses row y, rounded up: the first pixel at or right of the crossing.
std::int64_t crossingCeil(const QPoint& a, const QPoint& b, std::int64_t y) {
    const __int128 num = static_cast<__int128>(a.x()) * (b.y() - a.y()) +
                         static_cast<__int128>(y - a.y()) * (b.x() - a.x());
    const __int128 den = b.y() - a.y();
    const __int128 n = den < 0 ? -num : num;
    const __int128 d = den < 0 ? -den : den;
    const __int128 q = n / d;
    return static_cast<std::int64_t>((n % d != 0 && n > 0) ? q + 1 : q);
}

} // namespace

void Canvas::polygon(const std::vector<QPoint>& points) {
    if (points.empty() || image_.isNull()) {
        return;
    }
    if (echo_ != nullptr) {
        echo_->polygon(points, pen, brush);
    }
    const EchoPause pause(echo_);
    const std::size_t count = points.size();
    if (brush.style == BrushStyle::Solid && count >= 3) {
        int minY = points[0].y();
        int maxY = points[0].y();
        for (const QPoint& p : points) {
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
        const PixelWriter brushWriter(image_, pen.mode, brush.color);
        const RowRange rows = clampRange(minY, maxY, brushWriter.height());
        std::vector<std::int64_t> crossings;
        for (std::int64_t y = rows.from; y < rows.to; ++y) {
            crossings.clear();
            for (std::size_t i = 0; i < count; ++i) {
                const QPoint& a = points[i];
                const QPoint& b = points[(i + 1) % count];
                const bool spans = (a.y() <= y && y < b.y()) || (b.y() <= y && y < a.y());
                if (spans) {
                    crossings.push_back(crossingCeil(a, b, y));
                }
            }
            std::sort(crossings.begin(), crossings.end());
            for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
                brushWriter.span(y, crossings[k], crossings[k + 1]);
            }
        }
    }
    if (pen.style == PenStyle::Clear) {
        return;
    }
    const QPoint saved = penPos_;
    if (pen.width <= 1) {
        moveTo(points[0].x(), points[0].y());
        for (std::size_t i = 1; i <= count; ++i) {
            const QPoint& p = points[i % count];
            lineTo(p.x(), p.y());
        }
    } else {
        // One stroke for the whole outline, so joints are painted once.
        const PixelWriter penWriter(image_, pen.mode, pen.color);
        const int width = effectivePenWidth(pen.width);
        std::int64_t left = points[0].x(), right = left, top = points[0].y(), bottom = top;
        for (const QPoint& p : points) {
            left = std::min<std::int64_t>(left, p.x());
            right = std::max<std::int64_t>(right, p.x());
            top = std::min<std::int64_t>(top, p.y());
            bottom = std::max<std::int64_t>(bottom, p.y());
        }
        WidePenStroke stroke(penWriter, pen.mode, width, left, top, right, bottom);
        for (std::size_t i = 0; i < count; ++i) {
            const QPoint& a = points[i];
            const QPoint& b = points[(i + 1) % count];
            forEachLinePixel(
                a.x(), a.y(), b.x(), b.y(), penWriter.width(), penWriter.height(), width, true,
                [&](std::int64_t px, std::int64_t py, std::int64_t) { stroke.stamp(px, py); });
        }
        stroke.paint();
    }
    penPos_ = saved;
}

} // namespace plot
