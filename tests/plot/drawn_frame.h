// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/canvas.h"
#include "plot/engine_host.h"
#include "plot/plot_engine.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

namespace plot {

// A graph control stand-in for the zoom, ruler and output tests: a 1122 x 476 canvas with the main
// window's layout (plot rectangle 224..1010 x 48..381), x 0..10 in red, left y -1..1 in blue and,
// when asked, right y 0..100 in green, drawn by an engine of its own. Every repaint draws the frame
// anew with the current zoom windows and ends with the ruler set-up of the graph control, as the
// paint handler does.
class DrawnFrame : public EngineHost {
public:
    struct Layout {
        int leftPercent = 20;
        int rightPercent = 90;
        int topPercent = 10;
        int bottomPercent = 80;
        int leftPixels = 0;
        int bottomPixels = 0;
        bool rightAxis = false;
        Color back = kWhite;
        double minimumStep = 0; // of every axis; the graph control passes 0
        bool logX = false;      // x logarithmic over 1..100 instead of linear over 0..10
    };

    static constexpr int kWidth = 1122;
    static constexpr int kHeight = 476;

    explicit DrawnFrame(Layout layout);
    DrawnFrame() : DrawnFrame(Layout{}) {}

    void paint();
    QImage picture() const;

    Canvas& engineCanvas() override { return canvas_; }
    int engineWidth() const override { return kWidth; }
    int engineHeight() const override { return kHeight; }
    void repaintNow() override;
    void invalidate() override { ++invalidations; }
    void setScreenCursor(ScreenCursor cursor) override { cursors.push_back(cursor); }
    void confinePointer(const QRect& rect) override { confinement = rect; }
    void releasePointer() override { confinement = QRect(); }
    QPoint screenOffset() const override { return offset; }
    void beep() override { ++beeps; }
    std::unique_ptr<PrintTarget> openPrinter() override;

    Layout options;
    plot::PlotEngine engine{*this};
    int repaints = 0;
    int invalidations = 0;
    int beeps = 0;
    std::vector<ScreenCursor> cursors;
    QRect confinement;
    QPoint offset{0, 0};
    // The printer handed out by openPrinter; none when empty.
    std::function<std::unique_ptr<PrintTarget>()> printer;

private:
    Canvas canvas_;
};

// Picture pixels that differ between two images of equal size.
int differingPixels(const QImage& a, const QImage& b);

} // namespace plot
