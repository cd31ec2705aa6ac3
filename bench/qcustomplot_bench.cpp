// SPDX-License-Identifier: GPL-3.0-or-later
// The graph page's repaint against QCustomPlot's in the same run: the same points (a line with an
// 8-pixel circle at every point) on a plot of the page's size, each repainted until its time
// settles; prints both medians and their ratio. Ours is reached through the page alone, so the
// graph library's own names do not matter here.
#include "app/graph_page.h"
#include "app/qt_dialogs.h"
#include "bench/bench_options.h"
#include "counter/reading.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <qcustomplot.h>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr QSize kPageSize(1140, 520); // the graph page of the window at its first size
constexpr double kSecondsPerReading = 0.036;

template <typename Repaint> double medianMs(Repaint repaint) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        repaint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

double oursMs(const std::vector<double>& values) {
    app::GraphPage page(std::make_shared<app::QtDialogs>(nullptr));
    page.resize(kPageSize);
    page.show();
    page.startTrace();
    counter::Reading reading;
    reading.unitText = "Hz";
    for (std::size_t i = 0; i < values.size(); ++i) {
        reading.value = values[i];
        page.addReading(static_cast<double>(i) * kSecondsPerReading, reading);
    }
    QApplication::processEvents();
    // Rendered into a picture, which draws the page whatever the platform shows of it.
    return medianMs([&page] { page.grab(); });
}

double qcustomplotMs(const std::vector<double>& values) {
    QCustomPlot plot;
    plot.resize(kPageSize);
    plot.show();
    QVector<double> x(static_cast<int>(values.size()));
    QVector<double> y(static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        x[static_cast<int>(i)] = static_cast<double>(i) * kSecondsPerReading;
        y[static_cast<int>(i)] = values[i];
    }
    QCPGraph* graph = plot.addGraph();
    graph->setData(x, y, true);
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    plot.rescaleAxes();
    QApplication::processEvents();
    return medianMs([&plot] { plot.replot(QCustomPlot::rpImmediateRefresh); });
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"qcustomplot_bench",
         "Repaint of the graph page and of a QCustomPlot of the same size with the same points\n"
         "(line and 8-pixel circles), median of 9, and the ratio of the two.",
         2'400'000, true});
    QApplication application(argc, argv);
    bench::SignalSource signal(options.signal);
    std::vector<double> values(static_cast<std::size_t>(options.points));
    for (double& value : values) {
        value = signal.next();
    }
    const double ours = oursMs(values);
    const double theirs = qcustomplotMs(values);
    std::printf("graph page repaint, %ld points: %.2f ms\n", options.points, ours);
    std::printf("QCustomPlot replot, %ld points: %.2f ms\n", options.points, theirs);
    std::printf("ratio ours / QCustomPlot: %.2f\n", ours / theirs);
    return 0;
}
