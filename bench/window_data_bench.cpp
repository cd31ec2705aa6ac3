// Cost of the main window's reading slot: a million readings logged, displayed and plotted.
#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/display_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "counter/kelvo_counter.h"
#include "counter/reading.h"
#include "graph/xy_plot.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double NsPer(Clock::duration d, int n) {
    return std::chrono::duration<double, std::nano>(d).count() / n;
}

// Heap in use, large blocks taken straight from the system included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    std::int64_t nowMs = 0;
    app::WindowEnvironment environment;
    environment.settingsFolder = folder.path().toStdString();
    environment.monotonicMs = [&nowMs] { return nowMs; };
    app::MainWindow form(environment);
    form.show();
    form.graphPage().plot()->addTrace(false, {}); // trace 0, as a successful connect leaves it
    QApplication::processEvents();

    // The number of readings may be given; a million by default.
    const int N = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1'000'000;
    constexpr int Batch = 10'000; // readings between two turns of the event loop
    counter::Reading reading;
    reading.unitText = "Hz";
    const std::size_t heapBefore = HeapInUse();
    Clock::duration handler{};
    Clock::duration events{};
    for (int i = 0; i < N; ++i) {
        nowMs += 100;
        const std::string text = std::to_string(10000000 + i % 1000) + ".5";
        reading.value = 10000000.5 + i % 1000;
        reading.valueText = text;
        reading.telegram = text;
        const auto start = Clock::now();
        emit form.counter().readingReceived(reading);
        handler += Clock::now() - start;
        if ((i + 1) % Batch == 0) {
            const auto eventStart = Clock::now();
            QApplication::processEvents();
            events += Clock::now() - eventStart;
        }
    }
    const std::size_t heapAfter = HeapInUse();

    // Live readings on top of the full log: each one followed by its turn of the event loop.
    constexpr int Live = 20;
    const auto liveStart = Clock::now();
    for (int i = 0; i < Live; ++i) {
        nowMs += 100;
        emit form.counter().readingReceived(reading);
        QApplication::processEvents();
    }
    const auto liveTime = Clock::now() - liveStart;

    std::printf("readings:            %d (event loop every %d)\n", N, Batch);
    std::printf("reading slot:        %.1f ns per reading\n", NsPer(handler, N));
    std::printf("event loop turns:    %.1f ns per reading (list layout; graph hidden)\n",
                NsPer(events, N));
    std::printf("memory:              %.1f bytes per reading (log and graph point)\n",
                static_cast<double>(heapAfter - heapBefore) / N);
    std::printf("live reading:        %.3f ms each with its event loop turn, on %d lines\n",
                NsPer(liveTime, Live) / 1e6, N);
    std::printf("log lines:           %d\n", form.log().count());
    return form.log().count() == N + Live ? 0 : 1;
}
