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

constexpr int Width = 1122;
constexpr int Height = 476;

struct Timing {
    double WallMs;
    double CpuMs;
};

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The median of Runs calls, wall clock and the processor time of all the process's threads, as
// the fast path splits long traces over two (the machine is shared: the processor time is the
// steadier figure).
template <typename F> Timing Measure(int Runs, F&& Repaint) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < Runs; ++i) {
        const auto w0 = std::chrono::steady_clock::now();
        const double c0 = ProcessCpuMs();
        Repaint();
        cpu.push_back(ProcessCpuMs() - c0);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0)
                .count());
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// A day of readings at line rate: 10 MHz drifting by a few hundred millihertz, white noise.
std::vector<TPoint> Readings(int Count) {
    std::mt19937_64 rng(2026);
    std::normal_distribution<double> noise(0.0, 0.01);
    std::vector<TPoint> points;
    points.reserve(Count);
    const double step = 86400.0 / 2.4e6;
    for (int i = 0; i < Count; ++i) {
        const double t = i * step;
        const double drift = 0.3 * t / 86400.0 + 0.05 * std::sin(t / 7000.0);
        points.push_back({t, 10e6 + drift + noise(rng)});
    }
    return points;
}

#ifdef TALVEK_HAVE_QCUSTOMPLOT
Timing QCustomPlotRepaint(const std::vector<TPoint>& Points, int Runs) {
    QCustomPlot plot;
    plot.resize(Width, Height);
    QVector<double> x(Points.size());
    QVector<double> y(Points.size());
    for (std::size_t i = 0; i < Points.size(); ++i) {
        x[i] = Points[i].X;
        y[i] = Points[i].Y;
    }
    QCPGraph* graph = plot.addGraph();
    graph->setData(x, y, true);
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    graph->rescaleAxes();
    QPixmap target(Width, Height);
    return Measure(Runs, [&] {
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

    TXYPlot plot;
    plot.resize(Width, Height);
    plot.X_Caption = "Time/s";
    plot.XY_LeftPerCent = 20;
    plot.XY_FixedNumberFormat = false;
    plot.show();

    std::printf("Graph repaint, one trace with line and circles, %d x %d (median; ms)\n", Width,
                Height);
    std::printf("%10s %12s %12s %12s %12s %10s", "points", "plain wall", "plain cpu", "fast wall",
                "fast cpu", "bytes/pt");
#ifdef TALVEK_HAVE_QCUSTOMPLOT
    std::printf(" %12s %12s", "QCP wall", "QCP cpu");
#endif
    std::printf(" %s\n", "identical");

    for (int count : {10000, 100000, 1000000, 2400000}) {
        const std::vector<TPoint> points = Readings(count);
        plot.ClearAllTraces();
        plot.AddTrace(false, {});
        for (const TPoint& p : points)
            plot.AddPoint(0, p.X, p.Y);
        QApplication::processEvents();

        const int plainRuns = count >= 1000000 ? 1 : 3;
        plot.FastDrawing = false;
        const Timing plain = Measure(plainRuns, [&] { plot.RepaintNow(); });
        const QImage plainPicture = plot.Picture().copy();
        plot.FastDrawing = true;
        const Timing fast = Measure(15, [&] { plot.RepaintNow(); });
        const bool identical = plot.Picture() == plainPicture;
        const double bytes = double(plot.Traces[0].Points.AllocatedBytes()) / count;

        std::printf("%10d %12.2f %12.2f %12.2f %12.2f %10.2f", count, plain.WallMs, plain.CpuMs,
                    fast.WallMs, fast.CpuMs, bytes);
#ifdef TALVEK_HAVE_QCUSTOMPLOT
        const Timing reference = QCustomPlotRepaint(points, 5);
        std::printf(" %12.2f %12.2f", reference.WallMs, reference.CpuMs);
#endif
        std::printf(" %s\n", identical ? "yes" : "NO");
        std::fflush(stdout);
    }
    return 0;
}
