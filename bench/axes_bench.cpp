// SPDX-License-Identifier: GPL-3.0-or-later
// Time to draw a whole frame of axes with grids on a 1122 x 476 picture, the size of the main
// window's graph page: x over the time the readings take at line rate, the left axis over their
// range with the graph's automatic margin, the right axis -1..1.
#include "bench/bench_options.h"
#include "plot/plot_engine.h"

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

constexpr double kSecondsPerReading = 0.036;
constexpr double kAutoMargin = 0.05; // of the range's width on each side, as the graph adds

struct Range {
    double from;
    double to;
};

Range rangeOfReadings(long count, bench::Signal signal) {
    bench::SignalSource source(signal);
    double low = source.next();
    double high = low;
    for (long i = 1; i < count; ++i) {
        const double value = source.next();
        low = std::min(low, value);
        high = std::max(high, value);
    }
    const double margin = std::max(high - low, 1e-3) * kAutoMargin;
    return {low - margin, high + margin};
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"axes_bench",
         "Time to draw a whole frame of three axes with grids at the graph page's picture size,\n"
         "the x and left axes over the time and the range of the readings.",
         2'400'000, true});
    QGuiApplication app(argc, argv);
    plot::ImageHost host(1122, 476);
    plot::PlotEngine engine(host);
    const Range left = rangeOfReadings(options.points, options.signal);
    const double seconds = static_cast<double>(options.points) * kSecondsPerReading;
    constexpr int kFrames = 300;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) {
        engine.startGraph(plot::kWhite, plot::kBlack, 1.0);
        engine.setPlotArea({12, 88, 10, 84});
        engine.drawAxis({.kind = plot::AxisKind::X,
                         .caption = "Time|s",
                         .start = 0,
                         .end = seconds,
                         .gridOn = true});
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = plot::kBlue,
                         .caption = "Y1-Axis",
                         .start = left.from,
                         .end = left.to,
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
    std::printf("axes frame 1122x476, 3 axes with grids, %ld readings (left %.3f..%.3f): %.3f ms "
                "per frame (%d frames)\n",
                options.points, left.from, left.to, spent.count() / kFrames, kFrames);
    return 0;
}
