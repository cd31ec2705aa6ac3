// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"

#include <QPainterPath>
#include <QPolygonF>
#include <string>
#include <vector>

class QPainter;

namespace plot {

// Repeats what a Canvas draws on a QPainter as vector shapes (lines, boxes, polygons, text), for
// pictures in SVG or PDF that show what the screen shows. Coordinates are the canvas's pixels: a
// pixel is the unit square at its x and y, a one-pixel line runs through pixel centres. The
// pixel-flipping pen modes (Xor, Not) only ever draw the mouse's ruler and zoom box, which no
// picture keeps: they are left out. Lines that continue each other with the same pen are one
// polyline, and single pixels of one colour in a row (dotted grid lines) one path.
class VectorEcho {
public:
    explicit VectorEcho(QPainter& painter);
    ~VectorEcho();
    VectorEcho(const VectorEcho&) = delete;
    VectorEcho& operator=(const VectorEcho&) = delete;

    void line(QPoint from, QPoint to, const Pen& pen);
    void pixel(int x, int y, Color color);
    void fillRect(int left, int top, int right, int bottom, Color color);
    void rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush);
    void ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush);
    void polygon(const std::vector<QPoint>& points, const Pen& pen, const Brush& brush);
    void text(int x, int y, const std::string& text, const Font& font);
    // Draws the polyline still being gathered.
    void flush();

private:
    void usePen(const Pen& pen);
    void useBrush(const Brush& brush);

    QPainter& painter_;
    QPolygonF polyline_;
    Pen polylinePen_;
    QPainterPath pixels_;
    Color pixelColour_ = kBlack;
};

// While it lives, the canvas draws without echo: a shape made of other shapes is echoed once,
// as itself.
class EchoPause {
public:
    explicit EchoPause(VectorEcho*& echo) : echo_(echo), saved_(echo) { echo_ = nullptr; }
    ~EchoPause() { echo_ = saved_; }
    EchoPause(const EchoPause&) = delete;
    EchoPause& operator=(const EchoPause&) = delete;

private:
    VectorEcho*& echo_;
    VectorEcho* saved_;
};

} // namespace plot
