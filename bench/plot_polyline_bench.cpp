// SPDX-License-Identifier: GPL-3.0-or-later
// Time to draw N readings of the signal as one clipped polyline with an 8-pixel circle at every
// point into the 786 x 333 plot rectangle of a 1122 x 476 picture: through the engine, and through
// plain QPainter calls for comparison. Prints milliseconds per picture.

#include "bench/bench_options.h"
#include "plot/plot_engine.h"
#include "plot/symbols.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// The share of the readings' span cut off at either end of the y range, so that the clipper has
// work to do.
constexpr double kClippedShare = 0.03;

struct Series {
    std::vector<double> x;
    std::vector<double> y;
    double yFrom = 0;
    double yTo = 0;
};

// Readings of the signal over 0..1000 s.
Series makeSeries(std::size_t n, bench::Signal signal) {
    bench::SignalSource source(signal);
    Series s;
    s.x.resize(n);
    s.y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        s.x[i] = 1000.0 * static_cast<double>(i) / static_cast<double>(n);
        s.y[i] = source.next();
    }
    const auto [low, high] = std::minmax_element(s.y.begin(), s.y.end());
    const double cut = (*high - *low) * kClippedShare;
    s.yFrom = *low + cut;
    s.yTo = *high - cut;
    if (!(s.yTo > s.yFrom)) {
        s.yFrom = *low - 1;
        s.yTo = *high + 1;
    }
    return s;
}

// A frame with a linear x axis 0..1000 and the series' y axis, both in the back colour.
void openPlot(plot::PlotEngine& engine, const Series& s) {
    engine.startGraph(plot::kButtonFace, plot::kBlack, 1);
    engine.setPlotArea({20, 90, 10, 80});
    engine.drawAxis(
        {.kind = plot::AxisKind::X, .colour = plot::kButtonFace, .start = 0, .end = 1000});
    engine.drawAxis(
        {.kind = plot::AxisKind::Y, .colour = plot::kButtonFace, .start = s.yFrom, .end = s.yTo});
    engine.setPenColour(plot::kBlue);
}

void drawWithEngine(plot::PlotEngine& engine, const Series& s) {
    openPlot(engine, s);
    engine.moveTo(s.x[0], s.y[0]);
    engine.drawSymbol(plot::kCircleSymbol, 8, 0);
    for (std::size_t i = 1; i < s.x.size(); ++i) {
        engine.drawTo(s.x[i], s.y[i]);
        engine.drawSymbol(plot::kCircleSymbol, 8, 0);
    }
    engine.finishGraph();
}

void drawWithQPainter(plot::PlotEngine& engine, plot::EngineHost& host, const Series& s) {
    openPlot(engine, s);
    const plot::Mapping& m = engine.mapping();
    QPainter p(&host.engineCanvas().image());
    p.setClipRect(QRect(m.mapLeft, m.mapBottom - m.mapHeight, m.mapWidth + 1, m.mapHeight + 1));
    p.setPen(QColor(0, 0, 255));
    p.setBrush(Qt::NoBrush);
    QPoint last(engine.mapX(s.x[0]), engine.mapY(s.y[0]));
    p.drawEllipse(QRect(last.x() - 4, last.y() - 4, 9, 9));
    for (std::size_t i = 1; i < s.x.size(); ++i) {
        const QPoint next(engine.mapX(s.x[i]), engine.mapY(s.y[i]));
        p.drawLine(last, next);
        p.drawEllipse(QRect(next.x() - 4, next.y() - 4, 9, 9));
        last = next;
    }
}

template <typename Draw> double millisecondsPerPicture(int repeats, Draw&& draw) {
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r) {
        draw();
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count() / repeats;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"plot_polyline_bench",
         "Drawing N readings as a clipped polyline with circles, through the engine and through\n"
         "plain QPainter calls.",
         0,
         true,
         {10'000, 100'000, 1'000'000, 2'400'000}});
    QGuiApplication app(argc, argv);
    plot::ImageHost host(1122, 476);
    plot::PlotEngine engine(host);
    std::printf("%10s %14s %14s\n", "points", "engine ms", "QPainter ms");
    const Series frameOnly = makeSeries(2, options.signal);
    const double empty = millisecondsPerPicture(20, [&] { openPlot(engine, frameOnly); });
    std::printf("%10s %14.1f %14s\n", "0 (frame)", empty, "-");
    for (const long count : options.pointCounts) {
        const auto n = static_cast<std::size_t>(count);
        const Series s = makeSeries(n, options.signal);
        const int repeats = n <= 10000 ? 20 : n <= 100000 ? 5 : 1;
        drawWithEngine(engine, s); // warm-up
        const double engineMs = millisecondsPerPicture(repeats, [&] { drawWithEngine(engine, s); });
        const double painterMs =
            millisecondsPerPicture(repeats, [&] { drawWithQPainter(engine, host, s); });
        std::printf("%10zu %14.1f %14.1f\n", n, engineMs, painterMs);
    }
    return 0;
}
