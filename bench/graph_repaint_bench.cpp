// SPDX-License-Identifier: GPL-3.0-or-later
// Repaint time of the graph control against the number of stored points, per-point drawing
// against the coverage-mask drawing, and the memory the points take. Every timed repaint but the
// per-point ones follows one more reading, outside the timing, so the x range moves as it does
// live; the per-point picture of the last points must equal the last coverage-mask picture.
// Where QCustomPlot is available, the same points drawn by a QCustomPlot graph (line and circles,
// its own adaptive sampling) are timed as a reference the same way.

#include "bench/bench_options.h"
#include "graph/xy_plot.h"

#ifdef TALVEK_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
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

constexpr int kFastRuns = 15;
constexpr int kReferenceRuns = 5;
constexpr double kSecondsPerReading = 0.036;

// The median of Runs calls, wall clock and the processor time of all the process's threads, as
// the fast path splits long traces over two (the machine is shared: the processor time is the
// steadier figure). `prepare` runs before each call, outside the timing.
template <typename Prepare, typename Repaint>
Timing measure(int runs, Prepare&& prepare, Repaint&& repaint) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        prepare();
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

// Readings of the signal at line rate.
std::vector<graph::Point> readings(std::size_t count, bench::Signal signal) {
    bench::SignalSource source(signal);
    std::vector<graph::Point> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        points.push_back({static_cast<double>(i) * kSecondsPerReading, source.next()});
    }
    return points;
}

#ifdef TALVEK_HAVE_QCUSTOMPLOT
// The first `count` points, then one more before each replot (with its rescaleAxes).
Timing qCustomPlotRepaint(const std::vector<graph::Point>& points, std::size_t count) {
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    QVector<double> x(static_cast<int>(count));
    QVector<double> y(static_cast<int>(count));
    for (std::size_t i = 0; i < count; ++i) {
        x[static_cast<int>(i)] = points[i].x;
        y[static_cast<int>(i)] = points[i].y;
    }
    QCPGraph* series = plot.addGraph();
    series->setData(x, y, true);
    series->setLineStyle(QCPGraph::lsLine);
    series->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    QPixmap target(kWidth, kHeight);
    std::size_t next = count;
    return measure(
        kReferenceRuns,
        [&] {
            series->addData(points[next].x, points[next].y);
            ++next;
            series->rescaleAxes();
        },
        [&] {
            plot.replot(QCustomPlot::rpImmediateRefresh);
            plot.render(&target);
        });
}
#endif

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"graph_repaint_bench",
         "Repaint time of the graph control against the number of stored points, and the "
         "memory\nthe points take; beside QCustomPlot where it is installed.",
         0,
         true,
         {10'000, 100'000, 1'000'000, 2'400'000, 10'000'000}});
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

    for (const long count : options.pointCounts) {
        const auto stored = static_cast<std::size_t>(count);
        const std::vector<graph::Point> points =
            readings(stored + std::max(kFastRuns, kReferenceRuns), options.signal);
        plot.clearAllTraces();
        plot.addTrace(false, {});
        for (std::size_t i = 0; i < stored; ++i)
            plot.addPoint(0, points[i].x, points[i].y);
        QApplication::processEvents();

        std::size_t next = stored;
        const auto addReading = [&] {
            plot.addPoint(0, points[next].x, points[next].y);
            ++next;
        };
        const auto repaint = [&] { plot.repaintNow(); };
        plot.setFastDrawing(true);
        const Timing fast = measure(kFastRuns, addReading, repaint);
        const QImage fastPicture = plot.picture().copy();
        plot.setFastDrawing(false);
        const Timing plain = measure(
            count >= 1'000'000 ? 1 : 3, [] {}, repaint);
        const bool identical = plot.picture() == fastPicture;
        plot.setFastDrawing(true);
        const double bytes = double(plot.traces()[0].points.allocatedBytes()) / count;

        std::printf("%10ld %12.2f %12.2f %12.2f %12.2f %10.2f", count, plain.wallMs, plain.cpuMs,
                    fast.wallMs, fast.cpuMs, bytes);
#ifdef TALVEK_HAVE_QCUSTOMPLOT
        const Timing reference = qCustomPlotRepaint(points, stored);
        std::printf(" %12.2f %12.2f", reference.wallMs, reference.cpuMs);
#endif
        std::printf(" %s\n", identical ? "yes" : "NO");
        std::fflush(stdout);
    }
    return 0;
}
