// SPDX-License-Identifier: GPL-3.0-or-later
// A day at line rate through the whole path: 2.4 million Hertz-value telegrams read as the counter
// driver reads them and handed to the window's reading slot (log, status bar, big display, graph
// point). Prints readings per second, resident memory per reading and the
// graph's repaint time at the end. Usage: soak_bench --help

#include "app/graph_page.h"
#include "app/log_model.h"
#include "bench/bench_options.h"
#include "bench/window_fixture.h"
#include "counter/telegram_reading.h"
#include "graph/xy_plot.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr long kDayOfReadings = 2'400'000;
constexpr long kReadingsPerEventTurn = 10'000; // the event loop (and a repaint) once per this many

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}

// Telegrams of a 10 MHz signal with drift and noise, as the counter writes them.
std::vector<std::string> Telegrams() {
    std::mt19937_64 random(2026);
    std::normal_distribution<double> noise(0.0, 0.05);
    std::vector<std::string> telegrams;
    for (int i = 0; i < 4096; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", 10e6 + 0.3 * std::sin(i * 0.01) + noise(random));
        telegrams.emplace_back(text);
    }
    return telegrams;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"soak_bench",
         "A day at line rate through the whole path: readings per second, resident memory "
         "per\nreading and the graph's repaint time at the end.",
         kDayOfReadings, false});
    QApplication application(argc, argv);
    const long readings = options.points;
    // The telegrams come from here, not from the fixture's signal.
    bench::WindowFixture fixture(bench::Signal::Drift);
    app::MainWindow& form = fixture.window();
    fixture.showPage(form.graphPage());

    const std::vector<std::string> telegrams = Telegrams();
    const long residentBefore = residentKiB();
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < readings; ++i) {
        fixture.emitReading(*counter::readingFromTelegram(telegrams[i % telegrams.size()]));
        if ((i + 1) % kReadingsPerEventTurn == 0) {
            QApplication::processEvents();
        }
    }
    QApplication::processEvents();
    const double elapsed = Seconds(std::chrono::steady_clock::now() - start);
    const long residentAfter = residentKiB();

    // Wall clock and this thread's processor time: on a shared machine the latter is steadier.
    std::vector<double> repaintMs;
    std::vector<double> repaintCpuMs;
    for (int i = 0; i < 7; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = threadCpuMs();
        form.graphPage().plot()->repaintNow();
        repaintCpuMs.push_back(threadCpuMs() - c0);
        repaintMs.push_back(Seconds(std::chrono::steady_clock::now() - t0) * 1e3);
    }
    std::sort(repaintMs.begin(), repaintMs.end());
    std::sort(repaintCpuMs.begin(), repaintCpuMs.end());

    std::printf("readings logged:            %d of %ld\n", form.log().count(), readings);
    std::printf("points in trace 0:          %zu\n",
                form.graphPage().plot()->traces()[0].points.size());
    std::printf("event loop turned every     %ld readings\n", kReadingsPerEventTurn);
    std::printf("readings per second:        %.0f (%.1f s in all)\n", readings / elapsed, elapsed);
    std::printf("resident memory per reading: %.1f bytes (VmRSS %ld -> %ld KiB; goal < 64)\n",
                (residentAfter - residentBefore) * 1024.0 / readings, residentBefore,
                residentAfter);
    std::printf("repaint at %ld readings:  %.1f ms wall, %.1f ms processor, median of 7 "
                "(goal < 16)\n",
                readings, repaintMs[repaintMs.size() / 2], repaintCpuMs[repaintCpuMs.size() / 2]);
    return 0;
}
