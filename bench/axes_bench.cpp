// SPDX-License-Identifier: GPL-3.0-or-later
// Time to draw a whole frame of axes (x 0..10, left 24999990..25000010, right -1..1, grids on)
// on a 1122 x 476 picture, the size of the main window's graph page.
#include "bench/bench_options.h"
#include "plot/plot_engine.h"

#include <QGuiApplication>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    bench::parseOptions(
        argc, argv,
        {"axes_bench",
         "Time to draw a whole frame of three axes with grids at the graph page's picture size.", 0,
         false});
    QGuiApplication app(argc, argv);
    plot::ImageHost host(1122, 476);
    plot::PlotEngine engine(host);
    using plot::AxisKind;
    constexpr int kFrames = 300;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) {
        engine.startGraph(plot::kWhite, plot::kBlack, 1.0);
        engine.setPlotArea({12, 88, 10, 84});
        engine.drawAxis({.kind = plot::AxisKind::X,
                         .caption = "Time|s",
                         .start = 0,
                         .end = 10,
                         .gridOn = true});
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = plot::kBlue,
                         .caption = "Y1-Axis",
                         .start = 24999990,
                         .end = 25000010,
                         .gridOn = true});
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = plot::kGreen,
                         .caption = "Y2-Axis",
                         .side = 4,
                         .start = -1,
                         .end = 1,
                         .gridOn = true});
        engine.finishGraph();
    }
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("axes frame 1122x476, 3 axes with grids: %.3f ms per frame (%d frames)\n",
                spent.count() / kFrames, kFrames);
    return 0;
}
