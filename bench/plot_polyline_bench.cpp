// Time to draw N points as one clipped polyline with an 8-pixel circle at every point into the
// 786 x 333 plot rectangle of a 1122 x 476 picture: through the engine, and through plain QPainter
// calls for comparison. Prints milliseconds per picture.

#include "bench/bench_options.h"
#include "plot/engine.h"
#include "plot/mapping.h"
#include "plot/primitives.h"

#include <QGuiApplication>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Series {
    std::vector<double> x;
    std::vector<double> y;
};

// A wandering signal around 10 MHz over 0..1000 s; a few percent of it leaves the y range, so
// that the clipper has work to do.
Series MakeSeries(std::size_t n) {
    Series s;
    s.x.resize(n);
    s.y.resize(n);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(seed >> 8) / (1u << 24) - 0.5) * 4;
        s.x[i] = 1000.0 * static_cast<double>(i) / static_cast<double>(n);
        s.y[i] = 1e7 + 8 * std::sin(s.x[i] / 40) + noise;
    }
    return s;
}

void OpenPlot(TEngineHost& host) {
    StartGraph(host, clBtnFace, clBlack, 1);
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, false);
    // What the axis operations leave behind for a linear x and y axis.
    EngineState& e = Engine();
    TMapping& m = e.CurrentMapping;
    m.XMin = 0;
    m.XMax = 1000;
    m.YMin = 1e7 - 9;
    m.YMax = 1e7 + 9;
    m.XLog = m.YLog = false;
    e.PicturePixelMode = false;
    e.AxesReady = true;
    SetPenColour(clBlue);
}

void DrawWithEngine(TEngineHost& host, const Series& s) {
    OpenPlot(host);
    MoveTo(s.x[0], s.y[0]);
    DrawSymbol(ssCircle, 8, 0);
    for (std::size_t i = 1; i < s.x.size(); ++i) {
        DrawTo(s.x[i], s.y[i]);
        DrawSymbol(ssCircle, 8, 0);
    }
    FinishGraph();
}

void DrawWithQPainter(TEngineHost& host, const Series& s) {
    OpenPlot(host);
    const TMapping& m = Engine().CurrentMapping;
    QPainter p(&host.EngineCanvas().Image());
    p.setClipRect(QRect(m.MapLeft, m.MapBottom - m.MapHeight, m.MapWidth + 1, m.MapHeight + 1));
    p.setPen(QColor(0, 0, 255));
    p.setBrush(Qt::NoBrush);
    QPoint last(MapX(s.x[0]), MapY(s.y[0]));
    p.drawEllipse(QRect(last.x() - 4, last.y() - 4, 9, 9));
    for (std::size_t i = 1; i < s.x.size(); ++i) {
        const QPoint next(MapX(s.x[i]), MapY(s.y[i]));
        p.drawLine(last, next);
        p.drawEllipse(QRect(next.x() - 4, next.y() - 4, 9, 9));
        last = next;
    }
}

template <typename Draw> double MillisecondsPerPicture(int repeats, Draw&& draw) {
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
    bench::parseOptions(argc, argv,
                        {"plot_polyline_bench",
                         "Drawing N points as a clipped polyline with circles, through the engine "
                         "and through\nplain QPainter calls.",
                         0, false});
    QGuiApplication app(argc, argv);
    TImageHost host(1122, 476);
    std::printf("%10s %14s %14s\n", "points", "engine ms", "QPainter ms");
    const double empty = MillisecondsPerPicture(20, [&] { OpenPlot(host); });
    std::printf("%10s %14.1f %14s\n", "0 (frame)", empty, "-");
    for (const std::size_t n : {10000u, 100000u, 1000000u, 2400000u}) {
        const Series s = MakeSeries(n);
        const int repeats = n <= 10000 ? 20 : n <= 100000 ? 5 : 1;
        DrawWithEngine(host, s); // warm-up
        const double engine = MillisecondsPerPicture(repeats, [&] { DrawWithEngine(host, s); });
        const double painter = MillisecondsPerPicture(repeats, [&] { DrawWithQPainter(host, s); });
        std::printf("%10zu %14.1f %14.1f\n", n, engine, painter);
    }
    return 0;
}
