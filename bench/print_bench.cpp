// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of printing the graph picture: PrintGraph of a 1122 x 476 frame with axes, a grid and a
// trace of readings of the signal, to a printer that only counts, and to a PDF file at printer
// resolution.
// Prints milliseconds per print and the number of filled rectangles sent.

#include "bench/bench_options.h"
#include "plot/plot_engine.h"
#include "plot/qt_print_target.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

class CountingPrinter : public plot::PrintTarget {
public:
    void setOrientation(plot::PrintOrientation orientation) override {
        landscape_ = orientation == plot::PrintOrientation::Landscape;
    }
    int pageWidth() override { return landscape_ ? 6800 : 4800; }
    int pageHeight() override { return landscape_ ? 4800 : 6800; }
    bool beginDocument() override { return true; }
    bool fillRect(const plot::PrintRect&, plot::Color) override {
        ++*rectangles;
        return true;
    }
    bool endDocument() override { return true; }
    void abortDocument() override {}
    long* rectangles = nullptr;

private:
    bool landscape_ = false;
};

class BenchHost : public plot::EngineHost {
public:
    BenchHost() : canvas_(1122, 476) {}
    plot::Canvas& engineCanvas() override { return canvas_; }
    int engineWidth() const override { return 1122; }
    int engineHeight() const override { return 476; }
    void beep() override { ++beeps; }
    std::unique_ptr<plot::PrintTarget> openPrinter() override { return printer(); }
    std::function<std::unique_ptr<plot::PrintTarget>()> printer;
    int beeps = 0;
    plot::PlotEngine Engine{*this};

private:
    plot::Canvas canvas_;
};

// The readings at line rate as a line, the axes over their time and range.
void drawFrame(plot::PlotEngine& engine, const std::vector<double>& readings) {
    constexpr double kSecondsPerReading = 0.036;
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    const double margin = std::max(*high - *low, 1e-3) * 0.05;
    engine.startGraph(plot::kButtonFace, plot::kBlue, 1.0);
    engine.setPlotArea({20, 90, 10, 80});
    engine.drawAxis({.kind = plot::AxisKind::X,
                     .caption = "Time|s",
                     .start = 0,
                     .end = static_cast<double>(readings.size()) * kSecondsPerReading,
                     .gridOn = true});
    engine.drawAxis({.kind = plot::AxisKind::Y,
                     .caption = "Frequency",
                     .start = *low - margin,
                     .end = *high + margin,
                     .gridOn = true});
    engine.setPenColour(plot::kRed);
    engine.moveTo(0, readings[0]);
    for (std::size_t i = 1; i < readings.size(); ++i) {
        engine.drawTo(static_cast<double>(i) * kSecondsPerReading, readings[i]);
    }
    engine.finishGraph();
    engine.setupRuler(plot::kBlue, 2, 2, 1, 27);
}

template <typename F> double msPer(int runs, F&& f) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i) {
        f();
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6 / runs;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"print_bench",
         "Printing the graph picture, a line through the readings, to a counting printer and to\n"
         "a PDF file.",
         1000, true});
    QApplication app(argc, argv);
    BenchHost host;
    bench::SignalSource signal(options.signal);
    std::vector<double> readings(static_cast<std::size_t>(options.points));
    for (double& reading : readings) {
        reading = signal.next();
    }
    drawFrame(host.Engine, readings);

    long rectangles = 0;
    host.printer = [&] {
        auto printer = std::make_unique<CountingPrinter>();
        printer->rectangles = &rectangles;
        return printer;
    };
    const int runs = 20;
    const double counted = msPer(runs, [&] { host.Engine.print(false, 0, 0); });
    std::printf("PrintGraph 1122x476 to a counting printer: %.2f ms, %ld rectangles per print "
                "(%d picture pixels)\n",
                counted, rectangles / runs, 1122 * 476);
    const double restored = msPer(runs, [&] { host.Engine.print(true, 0, 0); });
    std::printf("PrintGraph with progress rows and restore:   %.2f ms\n", restored);

    QTemporaryDir dir;
    host.printer = [&] { return std::make_unique<plot::QtPrintTarget>(dir.filePath("bench.pdf")); };
    const double pdf = msPer(3, [&] { host.Engine.print(false, 0, 0); });
    std::printf("PrintGraph 1122x476 to a PDF file:           %.2f ms\n", pdf);
    std::printf("beeps: %d\n", host.beeps);
    return 0;
}
