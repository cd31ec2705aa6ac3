// Cost of printing the graph picture: PrintGraph of a 1122 x 476 frame with axes, a grid and a
// noisy trace, to a printer that only counts, and to a PDF file at printer resolution.
// Prints milliseconds per print and the number of filled rectangles sent.

#include "bench/bench_options.h"
#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/graph_output.h"
#include "plot/primitives.h"
#include "plot/qt_print_target.h"
#include "plot/zoom_ruler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

class CountingPrinter : public PrintTarget {
public:
    void SetOrientation(PrintOrientation orientation) override {
        landscape_ = orientation == PrintOrientation::Landscape;
    }
    int PageWidth() override { return landscape_ ? 6800 : 4800; }
    int PageHeight() override { return landscape_ ? 4800 : 6800; }
    bool BeginDocument() override { return true; }
    bool FillRect(const PrintRect&, TColor) override {
        ++*Rectangles;
        return true;
    }
    bool EndDocument() override { return true; }
    void AbortDocument() override {}
    long* Rectangles = nullptr;

private:
    bool landscape_ = false;
};

class BenchHost : public TEngineHost {
public:
    BenchHost() : canvas_(1122, 476) {}
    Canvas& EngineCanvas() override { return canvas_; }
    int EngineWidth() const override { return 1122; }
    int EngineHeight() const override { return 476; }
    void Beep() override { ++Beeps; }
    std::unique_ptr<PrintTarget> OpenPrinter() override { return Printer(); }
    std::function<std::unique_ptr<PrintTarget>()> Printer;
    int Beeps = 0;

private:
    Canvas canvas_;
};

void DrawFrame(BenchHost& host) {
    StartGraph(host, clBtnFace, clBlue, 1.0);
    SetPlotArea(20, 90, 10, 80, 0, 0, 0, 0, false);
    DrawXAxis(clBlack, "Time|s", 1, 0, 1000, 0, 0, true, false, false, 0);
    DrawYAxis(clBlack, "Frequency", 1, 9999990, 10000010, 0, 0, true, false, false, 0);
    SetPenColour(clRed);
    MoveTo(0, 10000000);
    for (int i = 1; i <= 1000; ++i) {
        DrawTo(i, 10000000 + 8 * std::sin(i * 0.05) + 2 * std::sin(i * 1.7));
    }
    FinishGraph();
    SetupRuler(clBlue, 2, 2, 1, 27);
}

template <typename F> double MsPer(int runs, F&& f) {
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
    DrawFrame(host);

    long rectangles = 0;
    host.Printer = [&] {
        auto printer = std::make_unique<CountingPrinter>();
        printer->Rectangles = &rectangles;
        return printer;
    };
    const int runs = 20;
    const double counted = MsPer(runs, [] { PrintGraph(false, 0, 0); });
    std::printf("PrintGraph 1122x476 to a counting printer: %.2f ms, %ld rectangles per print "
                "(%d picture pixels)\n",
                counted, rectangles / runs, 1122 * 476);
    const double restored = MsPer(runs, [] { PrintGraph(true, 0, 0); });
    std::printf("PrintGraph with progress rows and restore:   %.2f ms\n", restored);

    QTemporaryDir dir;
    host.Printer = [&] { return std::make_unique<QtPrintTarget>(dir.filePath("bench.pdf")); };
    const double pdf = MsPer(3, [] { PrintGraph(false, 0, 0); });
    std::printf("PrintGraph 1122x476 to a PDF file:           %.2f ms\n", pdf);
    std::printf("beeps: %d\n", host.Beeps);
    return 0;
}
