#include "tests/plot/drawn_frame.h"

#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/zoom_ruler.h"

DrawnFrame::DrawnFrame(Layout layout) : Options(layout), Canvas_(kWidth, kHeight) {
    Paint();
}

void DrawnFrame::Paint() {
    StartGraph(*this, Options.Back, clBlack, 1.0);
    SetPlotArea(Options.LeftPercent, Options.RightPercent, Options.TopPercent,
                Options.BottomPercent, Options.LeftPixels, 0, 0, Options.BottomPixels, false);
    DrawXAxis(clRed, "Time|s", 1, Options.LogX ? 1 : 0, Options.LogX ? 100 : 10,
              Options.MinimumStep, 0, false, Options.LogX, false, 0);
    DrawYAxis(clBlue, "Y1-Axis", 1, -1, 1, Options.MinimumStep, 0, false, false, false, 0);
    if (Options.RightAxis) {
        DrawYAxis(clGreen, "Y2-Axis", 4, 0, 100, Options.MinimumStep, 0, false, false, false, 0);
    }
    FinishGraph();
    SetupRuler(clBlue, 2, 2, 1, 27);
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
