// SPDX-License-Identifier: GPL-3.0-or-later
// Processor use of the whole window while the counter streams at its line rate (a reading every
// 36 ms) with the "Graph" page showing, after the graph already holds the given number of
// points: processor time over wall time, for the window's thread and repaints together.
#include "app/graph_page.h"
#include "app/main_window.h"
#include "bench/bench_options.h"
#include "counter/kelvo_counter.h"
#include "counter/reading.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

constexpr int kLineRateMs = 36;
constexpr int kStreamSeconds = 10;
constexpr int kReadingsPerTurn = 10'000; // while filling: the event loop once per this many

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"streaming_cpu_bench",
         "Processor use of the window streaming a reading every 36 ms for 10 s with the\n"
         "\"Graph\" page showing, the graph holding the number of points first.",
         2'400'000, true});
    QApplication application(argc, argv);
    QTemporaryDir folder;
    std::int64_t nowMs = 0;
    app::WindowEnvironment environment;
    environment.settingsFolder = folder.path().toStdString();
    environment.monotonicMs = [&nowMs] { return nowMs; };
    app::MainWindow form(environment);
    form.show();
    form.pages()->setCurrentWidget(&form.graphPage());
    form.graphPage().startTrace();
    QApplication::processEvents();

    bench::SignalSource signal(options.signal);
    counter::Reading reading;
    reading.unitText = "Hz";
    const auto emitReading = [&] {
        nowMs += kLineRateMs;
        reading.value = signal.next();
        reading.valueText = std::to_string(reading.value);
        reading.telegram = reading.valueText;
        emit form.counter().readingReceived(reading);
    };
    for (long i = 1; i <= options.points; ++i) {
        emitReading();
        if (i % kReadingsPerTurn == 0) {
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();

    QTimer lineRate;
    lineRate.setTimerType(Qt::PreciseTimer);
    QObject::connect(&lineRate, &QTimer::timeout, emitReading);
    QTimer::singleShot(kStreamSeconds * 1000, &application, &QApplication::quit);
    const double cpuStart = processSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    lineRate.start(kLineRateMs);
    QApplication::exec();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = processSeconds() - cpuStart;
    std::printf("processor use at line rate, graph page, %ld points: %.1f %% of one core\n",
                options.points, 100 * cpu / wall);
    return 0;
}
