// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/plot/drawn_frame.h"

namespace plot {

DrawnFrame::DrawnFrame(Layout layout) : options(layout), canvas_(kWidth, kHeight) {
    paint();
}

void DrawnFrame::paint() {
    engine.startGraph(options.back, kBlack, 1.0);
    engine.setPlotArea({options.leftPercent, options.rightPercent, options.topPercent,
                        options.bottomPercent, options.leftPixels, 0, 0, options.bottomPixels});
    engine.drawAxis({.kind = plot::AxisKind::X,
                     .colour = kRed,
                     .caption = "Time|s",
                     .start = options.logX ? 1.0 : 0.0,
                     .end = options.logX ? 100.0 : 10.0,
                     .minimumStep = options.minimumStep,
                     .logarithmic = options.logX});
    engine.drawAxis({.kind = plot::AxisKind::Y,
                     .colour = kBlue,
                     .caption = "Y1-Axis",
                     .start = -1,
                     .end = 1,
                     .minimumStep = options.minimumStep});
    if (options.rightAxis) {
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = kGreen,
                         .caption = "Y2-Axis",
                         .side = 4,
                         .start = 0,
                         .end = 100,
                         .minimumStep = options.minimumStep});
    }
    engine.finishGraph();
    engine.setupRuler(kBlue, 2, 2, 1, 27);
}

QImage DrawnFrame::picture() const {
    return canvas_.image().convertToFormat(QImage::Format_RGB32);
}

void DrawnFrame::repaintNow() {
    ++repaints;
    paint();
}

std::unique_ptr<PrintTarget> DrawnFrame::openPrinter() {
    return printer ? printer() : nullptr;
}

int differingPixels(const QImage& a, const QImage& b) {
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

} // namespace plot
