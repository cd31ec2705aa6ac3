// Time to draw a whole frame of axes (x 0..10, left 24999990..25000010, right -1..1, grids on)
// on a 1122 x 476 picture, the size of the main window's graph page.
#include "bench/bench_options.h"
#include "plot/axes.h"
#include "plot/engine.h"

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
    TImageHost host(1122, 476);
    constexpr int kFrames = 300;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) {
        StartGraph(host, clWhite, clBlack, 1.0);
        SetPlotArea(12, 88, 10, 84, 0, 0, 0, 0, false);
        DrawXAxis(clBlack, "Time|s", 1, 0, 10, 0, 0, true, false, false, 0);
        DrawYAxis(clBlue, "Y1-Axis", 1, 24999990, 25000010, 0, 0, true, false, false, 0);
        DrawYAxis(clGreen, "Y2-Axis", 4, -1, 1, 0, 0, true, false, false, 0);
        FinishGraph();
    }
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("axes frame 1122x476, 3 axes with grids: %.3f ms per frame (%d frames)\n",
                spent.count() / kFrames, kFrames);
    return 0;
}
