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

// A graph control stand-in for the zoom, ruler and output tests: a 1122 x 476 canvas with the main
// window's layout (plot rectangle 224..1010 x 48..381), x 0..10 in red, left y -1..1 in blue and,
// when asked, right y 0..100 in green, drawn by an engine of its own. Every repaint draws the frame
// anew with the current zoom windows and ends with the ruler set-up of the graph control, as the
// paint handler does.
class DrawnFrame : public TEngineHost {
public:
    struct Layout {
        int LeftPercent = 20;
        int RightPercent = 90;
        int TopPercent = 10;
        int BottomPercent = 80;
        int LeftPixels = 0;
        int BottomPixels = 0;
        bool RightAxis = false;
        TColor Back = clWhite;
        double MinimumStep = 0; // of every axis; the graph control passes 0
        bool LogX = false;      // x logarithmic over 1..100 instead of linear over 0..10
    };

    static constexpr int kWidth = 1122;
    static constexpr int kHeight = 476;

    explicit DrawnFrame(Layout layout);
    DrawnFrame() : DrawnFrame(Layout{}) {}

    void Paint();
    QImage Picture() const;

    Canvas& EngineCanvas() override { return Canvas_; }
    int EngineWidth() const override { return kWidth; }
    int EngineHeight() const override { return kHeight; }
    void RepaintNow() override;
    void Invalidate() override { ++Invalidations; }
    void SetScreenCursor(TScreenCursor cursor) override { Cursors.push_back(cursor); }
    void ConfinePointer(const QRect& rect) override { Confinement = rect; }
    void ReleasePointer() override { Confinement = QRect(); }
    QPoint ScreenOffset() const override { return Offset; }
    void Beep() override { ++Beeps; }
    std::unique_ptr<PrintTarget> OpenPrinter() override;

    Layout Options;
    plot::PlotEngine Engine{*this};
    int Repaints = 0;
    int Invalidations = 0;
    int Beeps = 0;
    std::vector<TScreenCursor> Cursors;
    QRect Confinement;
    QPoint Offset{0, 0};
    // The printer handed out by OpenPrinter; none when empty.
    std::function<std::unique_ptr<PrintTarget>()> Printer;

private:
    Canvas Canvas_;
};

// Picture pixels that differ between two images of equal size.
int DifferingPixels(const QImage& a, const QImage& b);
