// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of printing the graph picture: PrintGraph of a 1122 x 476 frame with axes, a grid and a
// noisy trace, to a printer that only counts, and to a PDF file at printer resolution.
// Prints milliseconds per print and the number of filled rectangles sent.

#include "bench/bench_options.h"
#include "plot/plot_engine.h"
#include "plot/qt_print_target.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>

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

void drawFrame(plot::PlotEngine& engine) {
    engine.startGraph(plot::kButtonFace, plot::kBlue, 1.0);
    engine.setPlotArea({20, 90, 10, 80});
    engine.drawAxis(
        {.kind = plot::AxisKind::X, .caption = "Time|s", .start = 0, .end = 1000, .gridOn = true});
    engine.drawAxis({.kind = plot::AxisKind::Y,
                     .caption = "Frequency",
                     .start = 9999990,
                     .end = 10000010,
                     .gridOn = true});
    engine.setPenColour(plot::kRed);
    engine.moveTo(0, 10000000);
    for (int i = 1; i <= 1000; ++i) {
        engine.drawTo(i, 10000000 + 8 * std::sin(i * 0.05) + 2 * std::sin(i * 1.7));
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
    bench::parseOptions(argc, argv,
                        {"print_bench",
                         "Printing the graph picture to a counting printer and to a PDF file.", 0,
                         false});
    QApplication app(argc, argv);
    BenchHost host;
    drawFrame(host.Engine);

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
