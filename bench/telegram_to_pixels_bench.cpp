// SPDX-License-Identifier: GPL-3.0-or-later
// Telegram to painted pixels: the window shows the "Graph" page, the graph holding the number of
// points; then telegrams come at line rate, and each is timed from the driver's reading of it
// (telegram to reading, readingReceived, the window's slot) until the event loop has handled the
// graph control's next paint event, its blit to the window included.
#include "app/graph_page.h"
#include "bench/bench_options.h"
#include "bench/paint_timing.h"
#include "bench/timing_summary.h"
#include "bench/window_fixture.h"
#include "counter/telegram_reading.h"
#include "graph/xy_plot.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kLiveTelegrams = 200;

std::string telegramOf(double hertz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", hertz);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"telegram_to_pixels_bench",
         "Telegram to painted pixels with the \"Graph\" page showing, the graph holding the\n"
         "number of points: 200 telegrams at line rate (one per 36 ms), each timed until the\n"
         "graph's next paint event has been handled; mean, median, 99th percentile and max.",
         2'400'000, true});
    QApplication application(argc, argv);
    bench::WindowFixture fixture(options.signal);
    app::MainWindow& window = fixture.window();
    fixture.showPage(window.graphPage());
    fixture.fillTo(options.points);

    bench::SignalSource signal(options.signal);
    const bench::PaintTimings timings = bench::timeUntilPainted(
        *window.graphPage().plot(), kLiveTelegrams,
        std::chrono::milliseconds(bench::WindowFixture::kLinePeriodMs),
        [&] { fixture.emitReading(*counter::readingFromTelegram(telegramOf(signal.next()))); });
    const bench::TimingSummary summary = bench::summarize(timings.ms);
    std::printf("telegram to painted pixels, graph page, %ld points: mean %.2f ms, median %.2f "
                "ms, 99th percentile %.2f ms, max %.2f ms (%zu telegrams)\n",
                options.points, summary.mean, summary.median, summary.p99, summary.max,
                timings.ms.size());
    if (timings.missed > 0) {
        std::printf("no paint after %d telegrams\n", timings.missed);
        return 1;
    }
    return 0;
}
