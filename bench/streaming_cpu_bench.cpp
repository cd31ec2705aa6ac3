// SPDX-License-Identifier: GPL-3.0-or-later
// Processor use of the whole window while the counter streams at its line rate (a reading every
// 36 ms) with the "Graph" page showing, after the graph already holds the given number of
// points: processor time over wall time, for the window's thread and repaints together.
#include "app/graph_page.h"
#include "bench/bench_options.h"
#include "bench/window_fixture.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kStreamSeconds = 10;

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
    bench::WindowFixture fixture(options.signal);
    fixture.showPage(fixture.window().graphPage());
    fixture.fillTo(options.points);

    QTimer lineRate;
    lineRate.setTimerType(Qt::PreciseTimer);
    QObject::connect(&lineRate, &QTimer::timeout, [&fixture] { fixture.emitReading(); });
    // A loop of its own: quitting the application would close the window, which saves the
    // whole log into the working folder.
    QEventLoop streaming;
    QTimer::singleShot(kStreamSeconds * 1000, &streaming, &QEventLoop::quit);
    const double cpuStart = processSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    lineRate.start(bench::WindowFixture::kLinePeriodMs);
    streaming.exec();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = processSeconds() - cpuStart;
    std::printf("processor use at line rate, graph page, %ld points: %.1f %% of one core\n",
                options.points, 100 * cpu / wall);
    return 0;
}
