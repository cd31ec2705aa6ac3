// SPDX-License-Identifier: GPL-3.0-or-later
// The shown "Stability" page's refresh on the main thread while readings arrive, with 2.4e6
// readings held: the time the main thread spends on the page's events (the refresh timer, the
// worker's result, the repaints of plots, table and caption) from one analysis started to the
// next, as mean, median, 99th percentile and max over the refreshes; also the longest single such
// event and how many analyses a second the worker manages. The main thread's CPU time over the same
// events tells the work from the waits for a core on a busy machine. Frequency readings of the
// chosen signal, one per 36 ms line period, the Allan deviation as the page starts; the page sits
// in a window of its own as in the main window.
#include "app/stability_page.h"
#include "bench/bench_options.h"
#include "bench/page_timing.h"
#include "bench/timing_summary.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// New readings refresh a day's analysis about every 20 s: ten refreshes take minutes.
constexpr int kRefreshes = 10;
constexpr double kLinePeriodMs = 36;

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"stability_page_bench",
         "The shown Stability page's main-thread time per refresh while readings arrive, with\n"
         "the number of points held (mean, median, 99th percentile, max), the longest single\n"
         "event of the page, and the analyses a second.",
         2'400'000, true});
    bench::PageTimingApplication application(argc, argv);
    // In a window of its own, as the main window holds its pages.
    QWidget window;
    window.resize(1148, 520);
    app::StabilityPage page([] { return app::TimeSpan{}; });
    page.setParent(&window);
    page.fitTo(window.size());
    page.hide();

    bench::SignalSource signal(options.signal);
    auto readings = std::make_shared<recording::ReadingStore>();
    page.follow(readings);
    double timeMs = 0;
    const auto addReading = [&] {
        timeMs += kLinePeriodMs;
        readings->append(timeMs, signal.next(), analysis::Quantity::Frequency);
        page.readingsAdded();
    };
    // Hidden while it fills, the page only keeps its running sums.
    for (long i = 0; i < options.points; ++i) {
        addReading();
    }
    window.show();
    page.show();
    while (!page.upToDate()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    application.timePage(&page);
    QTimer line;
    line.setInterval(static_cast<int>(kLinePeriodMs));
    QObject::connect(&line, &QTimer::timeout, addReading);
    line.start();
    const int first = page.analysesStarted();
    const auto start = Clock::now();
    while (page.analysesStarted() - first < kRefreshes + 1) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const bench::TimingSummary summary = bench::summarize(application.perRefreshMs());
    std::printf("page refresh on the main thread at %.1e readings: mean %.3f ms, median %.3f ms, "
                "99th percentile %.3f ms, max %.3f ms\n",
                static_cast<double>(options.points), summary.mean, summary.median, summary.p99,
                summary.max);
    const bench::TimingSummary cpu = bench::summarize(application.perRefreshCpuMs());
    std::printf(
        "main thread's CPU time of a refresh: mean %.3f ms, median %.3f ms, 99th percentile "
        "%.3f ms\n",
        cpu.mean, cpu.median, cpu.p99);
    std::printf("longest single event of the page: %.3f ms; %.2f analyses a second\n",
                application.longestEventMs(), kRefreshes / seconds);
    return 0;
}
