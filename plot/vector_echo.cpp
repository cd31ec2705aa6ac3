// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/vector_echo.h"

#include "plot/canvas_font.h"

#include <QPainter>
#include <QPen>

namespace plot {

namespace {

QColor qtColour(Color color) {
    return QColor::fromRgb(toQRgb(color));
}

Qt::PenStyle qtPenStyle(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        return Qt::SolidLine;
    case PenStyle::Dash:
        return Qt::DashLine;
    case PenStyle::Dot:
        return Qt::DotLine;
    case PenStyle::DashDot:
        return Qt::DashDotLine;
    case PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case PenStyle::Clear:
        break;
    }
    return Qt::NoPen;
}

QPointF centre(QPoint p) {
    return {p.x() + 0.5, p.y() + 0.5};
}

bool drawn(const Pen& pen) {
    return pen.mode == PenMode::Copy && pen.style != PenStyle::Clear;
}

bool samePen(const Pen& a, const Pen& b) {
    return a.color == b.color && a.width == b.width && a.style == b.style;
}

} // namespace

VectorEcho::VectorEcho(QPainter& painter) : painter_(painter) {}

VectorEcho::~VectorEcho() {
    flush();
}

void VectorEcho::usePen(const Pen& pen) {
    QPen qtPen(qtColour(pen.color), std::max(pen.width, 1), qtPenStyle(pen.style),
               pen.width > 1 ? Qt::RoundCap : Qt::SquareCap, Qt::RoundJoin);
    painter_.setPen(pen.style == PenStyle::Clear ? QPen(Qt::NoPen) : qtPen);
}

void VectorEcho::useBrush(const Brush& brush) {
    painter_.setBrush(brush.style == BrushStyle::Solid ? QBrush(qtColour(brush.color))
                                                       : QBrush(Qt::NoBrush));
}

void VectorEcho::flush() {
    if (!pixels_.isEmpty()) {
        painter_.fillPath(pixels_, qtColour(pixelColour_));
        pixels_.clear();
    }
    if (polyline_.size() >= 2) {
        usePen(polylinePen_);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPolyline(polyline_);
    }
    polyline_.clear();
}

void VectorEcho::line(QPoint from, QPoint to, const Pen& pen) {
    if (!drawn(pen)) {
        return;
    }
    const bool continues =
        !polyline_.isEmpty() && polyline_.back() == centre(from) && samePen(pen, polylinePen_);
    if (!continues) {
        flush();
        polyline_ << centre(from);
        polylinePen_ = pen;
    }
    polyline_ << centre(to);
}

void VectorEcho::pixel(int x, int y, Color color) {
    // The end pixel a line leaves out and the engine sets after it: the line's cap covers it.
    if (!polyline_.isEmpty() && polyline_.back() == centre({x, y}) && color == polylinePen_.color) {
        return;
    }
    if (!pixels_.isEmpty() && color != pixelColour_) {
        flush();
    }
    if (!polyline_.isEmpty()) {
        flush();
    }
    pixelColour_ = color;
    pixels_.addRect(x, y, 1, 1);
}

void VectorEcho::fillRect(int left, int top, int right, int bottom, Color color) {
    flush();
    painter_.fillRect(QRectF(left, top, right - left, bottom - top), qtColour(color));
}

void VectorEcho::rectangle(int left, int top, int right, int bottom, const Pen& pen,
                           const Brush& brush) {
    if (pen.mode != PenMode::Copy) {
        return;
    }
    flush();
    if (brush.style == BrushStyle::Solid) {
        painter_.fillRect(QRectF(left, top, right - left, bottom - top), qtColour(brush.color));
    }
    if (drawn(pen)) {
        usePen(pen);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
    }
}

void VectorEcho::ellipse(int left, int top, int right, int bottom, const Pen& pen,
                         const Brush& brush) {
    if (pen.mode != PenMode::Copy) {
        return;
    }
    flush();
    usePen(pen);
    useBrush(brush);
    painter_.drawEllipse(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
}

void VectorEcho::polygon(const std::vector<QPoint>& points, const Pen& pen, const Brush& brush) {
    if (pen.mode != PenMode::Copy || points.empty()) {
        return;
    }
    flush();
    QPolygonF shape;
    for (const QPoint& p : points) {
        shape << centre(p);
    }
    usePen(pen);
    useBrush(brush);
    painter_.drawPolygon(shape, Qt::OddEvenFill);
}

void VectorEcho::text(int x, int y, const std::string& text, const Font& font) {
    if (text.empty()) {
        return;
    }
    flush();
    const QFont qtFont = qtFontOf(font);
    painter_.save();
    painter_.setFont(qtFont);
    painter_.setPen(qtColour(font.color));
    painter_.translate(x, y);
    if (font.orientation != 0) {
        painter_.rotate(-font.orientation / 10.0);
    }
    painter_.drawText(QPointF(0, fontAscent(qtFont)),
                      QString::fromLatin1(text.c_str(), static_cast<qsizetype>(text.size())));
    painter_.restore();
}

} // namespace plot
