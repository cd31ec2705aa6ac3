// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the main window's reading slot: readings logged, displayed, plotted, analysed and
// journalled while the "Connect" page shows (graph hidden), the heap per reading of the whole
// window with the shares of the store of readings and the graph's run summaries, and one reading
// at 1e5, 1e6 and 1e7 readings: with the "Connect" page showing, the reading and its turn of the
// event loop; with the "Graph" page showing, readings at line rate (the graph paints at most once
// per screen refresh), each until the graph's paint has been handled.
#include "app/connect_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "bench/bench_options.h"
#include "bench/paint_timing.h"
#include "bench/timing_summary.h"
#include "bench/window_fixture.h"
#include "graph/xy_plot.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLiveReadings = 200;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Heap in use, large blocks taken straight from the system included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void report(const char* page, long readings, const std::vector<double>& times) {
    const bench::TimingSummary summary = bench::summarize(times);
    std::printf("one reading at %.0e readings, %s page: mean %.3f ms, median %.3f ms, "
                "99th percentile %.3f ms, max %.3f ms\n",
                static_cast<double>(readings), page, summary.mean, summary.median, summary.p99,
                summary.max);
    std::fflush(stdout);
}

std::vector<double> timeOnConnectPage(bench::WindowFixture& fixture) {
    std::vector<double> times;
    for (int i = 0; i < kLiveReadings; ++i) {
        const auto start = Clock::now();
        fixture.emitReading();
        QApplication::processEvents();
        times.push_back(msSince(start));
    }
    return times;
}

// Zero when every reading was painted.
int timeOnGraphPage(bench::WindowFixture& fixture, long readings) {
    app::MainWindow& window = fixture.window();
    fixture.showPage(window.graphPage());
    const bench::PaintTimings timings =
        bench::timeUntilPainted(*window.graphPage().plot(), kLiveReadings,
                                std::chrono::milliseconds(bench::WindowFixture::kLinePeriodMs),
                                [&fixture] { fixture.emitReading(); });
    fixture.showPage(window.connectPage());
    report("Graph", readings, timings.ms);
    if (timings.missed > 0) {
        std::printf("no graph paint after %d readings\n", timings.missed);
    }
    return timings.missed;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"window_data_bench",
         "The window's reading slot: time per reading while filling with the \"Connect\" page\n"
         "showing, heap per reading (whole window, graph's share), and one reading at 1e5, 1e6 "
         "and\n"
         "1e7 readings (those up to the number of points): on the \"Connect\" page with its\n"
         "event loop turn, on the \"Graph\" page at line rate until the graph has painted.",
         10'000'000, true});
    QApplication application(argc, argv);
    bench::WindowFixture fixture(options.signal);
    app::MainWindow& window = fixture.window();

    double fillMs = 0;
    long filled = 0;
    std::size_t heapGrowth = 0;
    int unpainted = 0;
    for (const long checkpoint : {100'000L, 1'000'000L, 10'000'000L}) {
        const long target = std::min(checkpoint, options.points);
        const std::size_t heapBefore = heapInUse();
        const long countBefore = window.log().count();
        const auto fillStart = Clock::now();
        fixture.fillTo(target);
        fillMs += msSince(fillStart);
        heapGrowth += heapInUse() - heapBefore;
        filled += window.log().count() - countBefore;

        report("Connect", target, timeOnConnectPage(fixture));
        unpainted += timeOnGraphPage(fixture, target);
        if (target == options.points) {
            break;
        }
    }
    std::printf("filling: %.0f ns per reading (event loop every %ld)\n", fillMs * 1e6 / filled,
                bench::WindowFixture::kReadingsPerTurn);
    const double graphBytes =
        static_cast<double>(window.graphPage().plot()->traces()[0].points.allocatedBytes());
    const double storeBytes = static_cast<double>(window.readings()->memoryBytes());
    std::printf("heap per reading, the whole window: %.1f bytes, of which the store of readings "
                "%.1f and the graph's run summaries %.1f;\n  the rest is the analyzer, the "
                "journal's buffers, the pages and the toolkit\n",
                static_cast<double>(heapGrowth) / filled, storeBytes / filled, graphBytes / filled);
    return unpainted == 0 ? 0 : 1;
}
