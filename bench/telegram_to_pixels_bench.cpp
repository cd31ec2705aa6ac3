// SPDX-License-Identifier: GPL-3.0-or-later
// Telegram to painted pixels: the window shows the "Graph" page, the graph holding the number of
// points; then telegrams come at line rate, and each is timed from the driver's reading of it
// (telegram to reading, readingReceived, the window's slot) until the event loop has handled the
// graph control's next paint event, its blit to the window included.
#include "app/graph_page.h"
#include "bench/bench_options.h"
#include "bench/timing_summary.h"
#include "bench/window_fixture.h"
#include "counter/telegram_reading.h"
#include "graph/xy_plot.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLiveTelegrams = 200;
constexpr int kPaintTimeoutMs = 2000;

// Notes that a paint event reached the control; the control handles it after the filter.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

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

    PaintWatch watch;
    graph::XyPlot* plot = window.graphPage().plot();
    plot->installEventFilter(&watch);
    bench::SignalSource signal(options.signal);
    const auto linePeriod = std::chrono::milliseconds(bench::WindowFixture::kLinePeriodMs);
    std::vector<double> times;
    int missed = 0;
    auto nextTelegram = Clock::now();
    for (int i = 0; i < kLiveTelegrams; ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_until(nextTelegram);
        const std::string telegram = telegramOf(signal.next());
        watch.painted = false;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(kPaintTimeoutMs);
        const auto start = Clock::now();
        fixture.emitReading(*counter::readingFromTelegram(telegram));
        while (!watch.painted && deadline.isActive()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const auto end = Clock::now();
        if (watch.painted) {
            times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        } else {
            ++missed;
        }
        nextTelegram = std::max(nextTelegram + linePeriod, end);
    }
    const bench::TimingSummary summary = bench::summarize(times);
    std::printf("telegram to painted pixels, graph page, %ld points: mean %.2f ms, median %.2f "
                "ms, 99th percentile %.2f ms, max %.2f ms (%zu telegrams)\n",
                options.points, summary.mean, summary.median, summary.p99, summary.max,
                times.size());
    if (missed > 0) {
        std::printf("no paint within %d ms after %d telegrams\n", kPaintTimeoutMs, missed);
        return 1;
    }
    return 0;
}
