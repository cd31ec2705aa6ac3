// SPDX-License-Identifier: GPL-3.0-or-later
// A month at line rate in the real window: a journal of 7.3e7 readings (made in a temporary
// folder unless --journal names one) opened through "Open measurement...", then with the month
// held: the time to open it and the longest the window's event loop waited meanwhile, its
// resident memory after (and at its peak), an exact repaint of the "Graph" page, one reading on
// the "Graph" page until its paint has been handled, and the "Stability" page's main-thread time
// per refresh while readings arrive at line rate. The month is no connection's, so those readings
// are handed to the window as the recording session hands them, after the month's last.
#include "app/connect_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/stability_page.h"
#include "bench/bench_options.h"
#include "bench/journal_maker.h"
#include "bench/page_timing.h"
#include "bench/paint_timing.h"
#include "bench/process_figures.h"
#include "bench/scripted_dialogs.h"
#include "bench/timing_summary.h"
#include "bench/window_fixture.h"
#include "graph/xy_plot.h"
#include "recording/session.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRepaints = 21;
constexpr int kLiveReadings = 200;
// New readings refresh a month's analysis only every several minutes.
constexpr int kRefreshes = 3;
constexpr int kTickMs = 10;
constexpr double kMiB = 1024.0 * 1024.0;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, const bench::TimingSummary& summary) {
    std::printf("%s: mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n", what,
                summary.mean, summary.median, summary.p99, summary.max);
    std::fflush(stdout);
}

void reportMemory(const char* when, long readings) {
    const bench::ProcessFigures figures = bench::processFigures();
    const struct mallinfo2 heap = mallinfo2();
    std::printf("%s: resident %.0f MiB (peak %.0f MiB), heap in use %.0f MiB, %.1f bytes resident "
                "per reading\n",
                when, figures.residentBytes / kMiB, figures.peakResidentBytes / kMiB,
                static_cast<double>(heap.uordblks + heap.hblkhd) / kMiB,
                figures.residentBytes / static_cast<double>(readings));
    std::fflush(stdout);
}

// Opens the journal through the log's menu and waits until it shows; the longest wait of a timer
// that ticks every kTickMs tells how long the event loop was held meanwhile.
void open(app::MainWindow& window, long readings) {
    QTimer ticker;
    QElapsedTimer sinceTick;
    double longestTickMs = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestTickMs = std::max(longestTickMs, static_cast<double>(sinceTick.restart()));
    });
    const double processorBefore = bench::processFigures().processorSeconds;
    const auto start = Clock::now();
    sinceTick.start();
    ticker.start(kTickMs);
    emit window.connectPage().openRequested();
    int progressSteps = 0;
    int lastProgress = -1;
    while (window.loadingMeasurement()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, kTickMs);
        if (window.loadProgress().value() != lastProgress) {
            lastProgress = window.loadProgress().value();
            ++progressSteps;
        }
    }
    const double openMs = msSince(start);
    ticker.stop();
    std::printf("opening %ld readings: %.2f s (%.1f s of processor), the progress bar moved %d "
                "times, the event loop waited at most %.0f ms (a %d ms timer)\n",
                static_cast<long>(window.log().count()), openMs / 1000,
                bench::processFigures().processorSeconds - processorBefore, progressSteps,
                longestTickMs, kTickMs);
    if (readings > 0 && window.log().count() != readings) {
        std::printf("the log holds %d readings, not %ld\n", window.log().count(), readings);
    }
    std::fflush(stdout);
}

// The next reading after the month's last, handed to the window as the session hands one.
class LateReadings {
public:
    explicit LateReadings(app::MainWindow& window)
        : window_(window), timeMs_(window.readings()->timeMs(window.readings()->size() - 1)),
          signal_(bench::Signal::Drift) {
        reading_.unitText = "Hz";
    }
    void next() {
        timeMs_ += bench::WindowFixture::kLinePeriodMs;
        reading_.value = signal_.next();
        reading_.telegram = std::to_string(reading_.value);
        emit window_.session().readingReceived(reading_, timeMs_);
    }

private:
    app::MainWindow& window_;
    double timeMs_;
    bench::SignalSource signal_;
    counter::Reading reading_;
};

void timeGraph(bench::WindowFixture& fixture, LateReadings& readings) {
    app::MainWindow& window = fixture.window();
    fixture.showPage(window.graphPage());
    graph::XyPlot& plot = *window.graphPage().plot();
    std::vector<double> repaints;
    for (int i = 0; i < kRepaints; ++i) {
        const auto start = Clock::now();
        plot.repaintNow();
        repaints.push_back(msSince(start));
    }
    report("exact repaint of the Graph page", bench::summarize(repaints));
    const bench::PaintTimings timings = bench::timeUntilPainted(
        plot, kLiveReadings, std::chrono::milliseconds(bench::WindowFixture::kLinePeriodMs),
        [&readings] { readings.next(); });
    report("one reading on the Graph page, until painted (wall, the wait for the paint included)",
           bench::summarize(timings.ms));
    report("one reading on the Graph page, until painted (processor)",
           bench::summarize(timings.processorMs));
    if (timings.missed > 0) {
        std::printf("no graph paint after %d readings\n", timings.missed);
    }
}

void timeStability(bench::WindowFixture& fixture, LateReadings& readings,
                   bench::PageTimingApplication& application) {
    app::MainWindow& window = fixture.window();
    app::StabilityPage& page = window.stabilityPage();
    const auto start = Clock::now();
    fixture.showPage(page);
    while (!page.upToDate()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    std::printf("the Stability page's first analysis of the month: %.1f s\n",
                msSince(start) / 1000);
    reportMemory("after it", window.log().count());
    application.timePage(&page);
    QTimer line;
    line.setInterval(static_cast<int>(bench::WindowFixture::kLinePeriodMs));
    QObject::connect(&line, &QTimer::timeout, [&readings] { readings.next(); });
    line.start();
    const int first = page.analysesStarted();
    while (page.analysesStarted() - first < kRefreshes + 1) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    line.stop();
    report("Stability page refresh on the main thread",
           bench::summarize(application.perRefreshMs()));
    std::printf("longest single event of the Stability page: %.3f ms\n",
                application.longestEventMs());
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {.name = "month_open_bench",
         .what = "A month at line rate in the real window: time to open its journal (and how long\n"
                 "the event loop waited meanwhile), resident memory after, exact repaint and one\n"
                 "reading on the Graph page, the Stability page's refresh on the main thread.",
         .defaultPoints = 73'000'000,
         .drawsSignal = false,
         .journalText = "  --journal FILE  open this journal instead of making one of N readings\n"
                        "  --flooded       make the journal's readings come in floods"});
    bench::PageTimingApplication application(argc, argv);
    QTemporaryDir folder;
    std::string path = options.journal;
    if (path.empty()) {
        path = folder.filePath("month.tvj").toStdString();
        const auto start = Clock::now();
        const std::string error = bench::makeJournal(path, options.points,
                                                     options.flooded ? bench::LineShape::Flooded
                                                                     : bench::LineShape::Even);
        if (!error.empty()) {
            std::fprintf(stderr, "month_open_bench: %s\n", error.c_str());
            return 1;
        }
        std::printf("journal of %ld readings made in %.1f s: %.0f MiB\n", options.points,
                    msSince(start) / 1000,
                    static_cast<double>(std::filesystem::file_size(path)) / kMiB);
    }
    bench::WindowFixture fixture(bench::Signal::Drift,
                                 std::make_shared<bench::ScriptedDialogs>(path));
    app::MainWindow& window = fixture.window();
    fixture.window().connectPage().connectButton()->click(); // opening waits for a disconnect
    reportMemory("before opening", std::max(1L, options.points));
    open(window, options.journal.empty() ? options.points : 0);
    reportMemory("after opening", window.log().count());
    LateReadings readings(window);
    timeGraph(fixture, readings);
    timeStability(fixture, readings, application);
    reportMemory("at the end", window.log().count());
    return 0;
}
