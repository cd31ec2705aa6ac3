#include "tests/plot/drawn_frame.h"

DrawnFrame::DrawnFrame(Layout layout) : Options(layout), Canvas_(kWidth, kHeight) {
    Paint();
}

void DrawnFrame::Paint() {
    Engine.startGraph(Options.Back, clBlack, 1.0);
    Engine.setPlotArea({Options.LeftPercent, Options.RightPercent, Options.TopPercent,
                        Options.BottomPercent, Options.LeftPixels, 0, 0, Options.BottomPixels});
    Engine.drawAxis({.kind = plot::AxisKind::X,
                     .colour = clRed,
                     .caption = "Time|s",
                     .start = Options.LogX ? 1.0 : 0.0,
                     .end = Options.LogX ? 100.0 : 10.0,
                     .minimumStep = Options.MinimumStep,
                     .logarithmic = Options.LogX});
    Engine.drawAxis({.kind = plot::AxisKind::Y,
                     .colour = clBlue,
                     .caption = "Y1-Axis",
                     .start = -1,
                     .end = 1,
                     .minimumStep = Options.MinimumStep});
    if (Options.RightAxis) {
        Engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = clGreen,
                         .caption = "Y2-Axis",
                         .side = 4,
                         .start = 0,
                         .end = 100,
                         .minimumStep = Options.MinimumStep});
    }
    Engine.finishGraph();
    Engine.setupRuler(clBlue, 2, 2, 1, 27);
}

QImage DrawnFrame::Picture() const {
    return Canvas_.Image().convertToFormat(QImage::Format_RGB32);
}

void DrawnFrame::RepaintNow() {
    ++Repaints;
    Paint();
}

std::unique_ptr<PrintTarget> DrawnFrame::OpenPrinter() {
    return Printer ? Printer() : nullptr;
}

int DifferingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return a.width() * a.height() + b.width() * b.height();
    }
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return differing;
}
