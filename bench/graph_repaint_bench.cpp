// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint time of the graph control against the number of stored points, per-point drawing
// against the coverage-mask drawing, and the memory the points take. Where QCustomPlot is
// available, the same points drawn by a QCustomPlot graph (line and circles, its own adaptive
// sampling) are timed as a reference.

#include "bench/bench_options.h"
#include "graph/xy_plot.h"

#ifdef TALVEK_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1122;
constexpr int kHeight = 476;

struct Timing {
    double wallMs;
    double cpuMs;
};

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The median of Runs calls, wall clock and the processor time of all the process's threads, as
// the fast path splits long traces over two (the machine is shared: the processor time is the
// steadier figure).
template <typename F> Timing measure(int runs, F&& repaint) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        const auto w0 = std::chrono::steady_clock::now();
        const double c0 = processCpuMs();
        repaint();
        cpu.push_back(processCpuMs() - c0);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0)
                .count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// A day of readings at line rate: 10 MHz drifting by a few hundred millihertz, white noise.
std::vector<graph::Point> readings(int count) {
    std::mt19937_64 rng(2026);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<graph::Point> points;
    points.reserve(count);
    const double step = 86400.0 / 2.4e6;
    for (int i = 0; i < count; ++i) {
        const double t = i * step;
        const double drift = 0.3 * t / 86400.0 + 0.05 * std::sin(t / 7000.0);
        points.push_back({t, 10e6 + drift + noise(rng)});
    }
    return points;
}

#ifdef TALVEK_HAVE_QCUSTOMPLOT
Timing qCustomPlotRepaint(const std::vector<graph::Point>& points, int runs) {
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    QVector<double> x(points.size());
    QVector<double> y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    QCPGraph* series = plot.addGraph();
    series->setData(x, y, true);
    series->setLineStyle(QCPGraph::lsLine);
    series->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    series->rescaleAxes();
    QPixmap target(kWidth, kHeight);
    return measure(runs, [&] {
        plot.replot(QCustomPlot::rpImmediateRefresh);
        plot.render(&target);
    });
}
#endif

} // namespace

int main(int argc, char** argv) {
    bench::parseOptions(
        argc, argv,
        {"graph_repaint_bench",
         "Repaint time of the graph control against the number of stored points, and the "
         "memory\nthe points take; beside QCustomPlot where it is installed.",
         0, false});
    QApplication app(argc, argv);

    graph::XyPlot plot;
    plot.resize(kWidth, kHeight);
    graph::AxisSettings x = plot.xAxis();
    x.caption = "Time/s";
    plot.setXAxis(x);
    plot::PlotAreaLayout area = plot.areaLayout();
    area.leftPercent = 20;
    plot.setAreaLayout(area);
    plot.setFixedNumberFormat(false);
    plot.show();

    std::printf("Graph repaint, one trace with line and circles, %d x %d (median; ms)\n", kWidth,
                kHeight);
    std::printf("%10s %12s %12s %12s %12s %10s", "points", "plain wall", "plain cpu", "fast wall",
                "fast cpu", "bytes/pt");
#ifdef TALVEK_HAVE_QCUSTOMPLOT
    std::printf(" %12s %12s", "QCP wall", "QCP cpu");
#endif
    std::printf(" %s\n", "identical");

    for (int count : {10000, 100000, 1000000, 2400000, 10000000}) {
        const std::vector<graph::Point> points = readings(count);
        plot.clearAllTraces();
        plot.addTrace(false, {});
        for (const graph::Point& p : points)
            plot.addPoint(0, p.x, p.y);
        QApplication::processEvents();

        const int plainRuns = count >= 1000000 ? 1 : 3;
        plot.setFastDrawing(false);
        const Timing plain = measure(plainRuns, [&] { plot.repaintNow(); });
        const QImage plainPicture = plot.picture().copy();
        plot.setFastDrawing(true);
        const Timing fast = measure(15, [&] { plot.repaintNow(); });
        const bool identical = plot.picture() == plainPicture;
        const double bytes = double(plot.traces()[0].points.allocatedBytes()) / count;

        std::printf("%10d %12.2f %12.2f %12.2f %12.2f %10.2f", count, plain.wallMs, plain.cpuMs,
                    fast.wallMs, fast.cpuMs, bytes);
#ifdef TALVEK_HAVE_QCUSTOMPLOT
        const Timing reference = qCustomPlotRepaint(points, 5);
        std::printf(" %12.2f %12.2f", reference.wallMs, reference.cpuMs);
#endif
        std::printf(" %s\n", identical ? "yes" : "NO");
        std::fflush(stdout);
    }
    return 0;
}
