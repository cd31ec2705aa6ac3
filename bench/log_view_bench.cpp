// SPDX-License-Identifier: GPL-3.0-or-later
// One reading appended to the log on the shown "Connect" page, with its turn of the event loop
// (scroll to the newest line and repaint), at 1e5, 1e6 and 1e7 lines: mean, median, 99th
// percentile and max. A view whose cost does not grow with the log shows the same figures at
// every length. Also the heap per line of the log and its view together. The log and its page
// stand alone here; window_data_bench times the same with the whole window.
#include "app/connect_page.h"
#include "app/log_model.h"
#include "bench/bench_options.h"
#include "bench/timing_summary.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLiveReadings = 300;
constexpr int kReadingsPerTurn = 10'000; // while filling: the event loop once per this many

std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"log_view_bench",
         "One reading appended to the shown log with its event loop turn, at 1e5, 1e6 and 1e7\n"
         "lines (those up to the number of points), and the heap per line.",
         10'000'000, true});
    QApplication application(argc, argv);
    app::LogModel log('.');
    app::ConnectPage page(&log);
    page.resize(1148, 520);
    page.show();
    QApplication::processEvents();

    bench::SignalSource signal(options.signal);
    double timeMs = 0;
    const auto append = [&] {
        timeMs += 36;
        log.append(timeMs, signal.next());
    };
    const std::size_t heapBefore = heapInUse();
    for (const long checkpoint : {100'000L, 1'000'000L, 10'000'000L}) {
        const long target = std::min(checkpoint, options.points);
        while (log.count() < target) {
            append();
            if (log.count() % kReadingsPerTurn == 0) {
                QApplication::processEvents();
            }
        }
        QApplication::processEvents();
        std::vector<double> times;
        for (int i = 0; i < kLiveReadings; ++i) {
            const auto start = Clock::now();
            append();
            QApplication::processEvents();
            times.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const bench::TimingSummary summary = bench::summarize(times);
        std::printf("one reading at %.0e lines: mean %.3f ms, median %.3f ms, 99th percentile "
                    "%.3f ms, max %.3f ms\n",
                    static_cast<double>(target), summary.mean, summary.median, summary.p99,
                    summary.max);
        if (target == options.points) {
            break;
        }
    }
    std::printf("heap per line, log and view: %.1f bytes\n",
                static_cast<double>(heapInUse() - heapBefore) / log.count());
    return 0;
}
