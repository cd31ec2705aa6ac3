// SPDX-License-Identifier: GPL-3.0-or-later
// The graph page's repaint against QCustomPlot's in the same run: the same points (a line with an
// 8-pixel circle at every point) in widgets of the same size, each drawing all of its data anew
// every time: ours through the graph control's repaintNow (the engine draws frame, axes and
// traces into the control's buffer, then the paint event shows it), QCustomPlot through
// replot(rpImmediateRefresh) (its layers drawn into its buffer, then its paint event). Before
// every timed repaint one more reading arrives on both sides, outside the timing (for QCustomPlot
// with its rescaleAxes), so the x range moves as it does live and no picture drawn for an earlier
// range can be shown again. Prints both medians and their ratio, and as proof that both drew: the
// pixels of each widget that differ from its background, whether the x range moved with every
// reading, and for ours that a repaint over a spoilt buffer gives the same picture again.
#include "app/graph_page.h"
#include "app/qt_dialogs.h"
#include "bench/bench_options.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"
#include "recording/reading_store.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <qcustomplot.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kRuns = 9;
constexpr QSize kPageSize(1140, 520); // the graph page of the window at its first size
constexpr double kSecondsPerReading = 0.036;

struct Outcome {
    double medianMs = 0;
    long drawnPixels = 0;
    bool rangeMovedEveryRun = true;
};

// Pixels that differ from the picture's most common colour, its background.
long drawnPixels(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    std::unordered_map<QRgb, long> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            ++counts[line[x]];
        }
    }
    long background = 0;
    for (const auto& [colour, count] : counts) {
        background = std::max(background, count);
    }
    return static_cast<long>(image.width()) * image.height() - background;
}

// `addReading(i)` puts reading i into the widget, `repaint()` draws everything anew and shows it,
// `xUpper()` is the upper end of the x range as last drawn; readings from `first` on are live.
template <typename AddReading, typename Repaint, typename XUpper>
Outcome measure(QWidget& widget, std::size_t first, AddReading addReading, Repaint repaint,
                XUpper xUpper) {
    Outcome outcome;
    outcome.drawnPixels = drawnPixels(widget.grab().toImage());
    double lastUpper = xUpper();
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        addReading(first + static_cast<std::size_t>(run));
        const auto start = std::chrono::steady_clock::now();
        repaint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        outcome.rangeMovedEveryRun = outcome.rangeMovedEveryRun && xUpper() > lastUpper;
        lastUpper = xUpper();
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    outcome.medianMs = times[kRuns / 2];
    return outcome;
}

double secondsOf(std::size_t index) {
    return static_cast<double>(index) * kSecondsPerReading;
}

// Whether a repaint draws the whole picture: after spoiling the control's buffer it must give the
// same picture as before.
bool drawsAnew(graph::XyPlot& plot) {
    plot.repaintNow();
    const QImage drawn = plot.picture().copy();
    plot.engineCanvas().image().fill(Qt::magenta);
    plot.repaintNow();
    return plot.picture() == drawn;
}

Outcome ours(const std::vector<double>& values, std::size_t points, QSize& plotSize,
             bool& drewAnew) {
    app::GraphPage page(std::make_shared<app::QtDialogs>(nullptr));
    page.resize(kPageSize);
    page.show();
    auto readings = std::make_shared<recording::ReadingStore>();
    page.startTrace(readings);
    counter::Reading reading;
    reading.unitText = "Hz";
    const auto addReading = [&](std::size_t index) {
        reading.value = values[index];
        readings->append(secondsOf(index) * 1000, reading.value, analysis::Quantity::Frequency);
        page.addReading(secondsOf(index), reading);
    };
    for (std::size_t i = 0; i < points; ++i) {
        addReading(i);
    }
    QApplication::processEvents();
    graph::XyPlot& plot = *page.plot();
    plotSize = plot.size();
    drewAnew = drawsAnew(plot);
    return measure(
        plot, points, addReading, [&plot] { plot.repaintNow(); },
        [&plot] { return plot.engine().plotArea(1).axisRecord[plot::kAxisX].axisMax; });
}

Outcome theirs(const std::vector<double>& values, std::size_t points, QSize size) {
    QCustomPlot plot;
    plot.resize(size);
    plot.show();
    QVector<double> x(static_cast<int>(points));
    QVector<double> y(static_cast<int>(points));
    for (std::size_t i = 0; i < points; ++i) {
        x[static_cast<int>(i)] = secondsOf(i);
        y[static_cast<int>(i)] = values[i];
    }
    QCPGraph* graph = plot.addGraph();
    graph->setData(x, y, true);
    graph->setLineStyle(QCPGraph::lsLine);
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 8));
    plot.rescaleAxes();
    plot.replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    const auto addReading = [&](std::size_t index) {
        graph->addData(secondsOf(index), values[index]);
        plot.rescaleAxes();
    };
    return measure(
        plot, points, addReading, [&plot] { plot.replot(QCustomPlot::rpImmediateRefresh); },
        [&plot] { return plot.xAxis->range().upper; });
}

void report(const char* name, const Outcome& outcome, long points) {
    std::printf("%s, %ld points: median %.2f ms; %ld pixels drawn, x range moved every run: %s\n",
                name, points, outcome.medianMs, outcome.drawnPixels,
                outcome.rangeMovedEveryRun ? "yes" : "NO");
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"qcustomplot_bench",
         "Full repaint of the graph page's plot and of a QCustomPlot of the same size with the\n"
         "same points (line and 8-pixel circles), one more reading before each, median of 9;\n"
         "the ratio of the two and the pixels each drew.",
         2'400'000, true});
    QApplication application(argc, argv);
    bench::SignalSource signal(options.signal);
    const auto points = static_cast<std::size_t>(options.points);
    std::vector<double> values(points + kRuns);
    for (double& value : values) {
        value = signal.next();
    }
    QSize plotSize;
    bool drewAnew = false;
    const Outcome mine = ours(values, points, plotSize, drewAnew);
    const Outcome reference = theirs(values, points, plotSize);
    std::printf("widgets %d x %d\n", plotSize.width(), plotSize.height());
    report("graph page repaint", mine, options.points);
    std::printf("graph page repaint over a spoilt buffer gives the same picture: %s\n",
                drewAnew ? "yes" : "NO");
    report("QCustomPlot replot", reference, options.points);
    std::printf("ratio ours / QCustomPlot: %.2f\n", mine.medianMs / reference.medianMs);
    return drewAnew && mine.rangeMovedEveryRun && reference.rangeMovedEveryRun ? 0 : 1;
}
