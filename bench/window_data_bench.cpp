// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the main window's reading slot with the "Connect" page showing: readings logged,
// displayed and plotted (graph hidden), the heap per reading of the log and the graph together,
// and one reading with its turn of the event loop at 1e5, 1e6 and 1e7 readings (mean and max).
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "bench/bench_options.h"
#include "counter/kelvo_counter.h"
#include "counter/reading.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <malloc.h>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kReadingsPerTurn = 10'000; // while filling: the event loop once per this many
constexpr int kLiveReadings = 200;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Heap in use, large blocks taken straight from the system included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"window_data_bench",
         "The window's reading slot on the \"Connect\" page: time per reading while filling,\n"
         "heap per reading (log and graph together), and one reading with its event loop turn\n"
         "at 1e5, 1e6 and 1e7 readings (those up to the number of points).",
         10'000'000, true});
    QApplication application(argc, argv);
    QTemporaryDir folder;
    std::int64_t nowMs = 0;
    app::WindowEnvironment environment;
    environment.settingsFolder = folder.path().toStdString();
    environment.monotonicMs = [&nowMs] { return nowMs; };
    app::MainWindow form(environment);
    form.show();
    form.graphPage().startTrace(); // trace 0, as a successful connect leaves it
    QApplication::processEvents();

    bench::SignalSource signal(options.signal);
    counter::Reading reading;
    reading.unitText = "Hz";
    const auto emitReading = [&] {
        nowMs += 36;
        reading.value = signal.next();
        reading.valueText = std::to_string(reading.value);
        reading.telegram = reading.valueText;
        emit form.counter().readingReceived(reading);
    };

    double fillMs = 0;
    long filled = 0;
    std::size_t heapGrowth = 0;
    for (const long checkpoint : {100'000L, 1'000'000L, 10'000'000L}) {
        const long target = std::min(checkpoint, options.points);
        const std::size_t heapBefore = heapInUse();
        const auto fillStart = Clock::now();
        while (form.log().count() < target) {
            emitReading();
            if (form.log().count() % kReadingsPerTurn == 0) {
                QApplication::processEvents();
            }
        }
        QApplication::processEvents();
        fillMs += msSince(fillStart);
        heapGrowth += heapInUse() - heapBefore;
        filled = form.log().count();

        double sumMs = 0;
        double maxMs = 0;
        for (int i = 0; i < kLiveReadings; ++i) {
            const auto start = Clock::now();
            emitReading();
            QApplication::processEvents();
            const double ms = msSince(start);
            sumMs += ms;
            maxMs = std::max(maxMs, ms);
        }
        std::printf("one reading at %.0e readings: mean %.3f ms, max %.3f ms\n",
                    static_cast<double>(target), sumMs / kLiveReadings, maxMs);
        if (target == options.points) {
            break;
        }
    }
    std::printf("filling: %.0f ns per reading (event loop every %d)\n", fillMs * 1e6 / filled,
                kReadingsPerTurn);
    std::printf("heap per reading, log and graph together: %.1f bytes\n",
                static_cast<double>(heapGrowth) / filled);
    return 0;
}
