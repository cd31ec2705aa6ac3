// SPDX-License-Identifier: GPL-3.0-or-later
// A month at line rate in the real window: a journal of 7.3e7 readings (made in a temporary
// folder unless --journal names one) opened through "Open measurement...", then with the month
// held: the time to open it and the longest the window's event loop waited meanwhile, its
// resident memory after (and at its peak), an exact repaint of the "Graph" page, the process's
// processor time per reading while readings arrive at line rate on the "Graph" page, and the
// "Stability" page's main-thread time per refresh started by a choice of the user while they do.
// The month is no connection's, so those readings are handed to the window as the recording session
// hands them, after the month's last.
#include "app/connect_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/stability_page.h"
#include "bench/bench_options.h"
#include "bench/event_wait.h"
#include "bench/journal_maker.h"
#include "bench/page_timing.h"
#include "bench/process_figures.h"
#include "bench/scripted_dialogs.h"
#include "bench/timing_summary.h"
#include "bench/window_fixture.h"
#include "graph/xy_plot.h"
#include "recording/session.h"
#include "tests/support/menu_action.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
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
constexpr double kLineRateSeconds = 30;
// Refreshes started by a choice of the user: new readings refresh a month's analysis only every
// several minutes.
constexpr int kRefreshes = 8;
// After a result shows, its repaints before the next choice.
constexpr int kSettleMs = 1000;
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
    bench::waitUntil([&] {
        if (window.loadProgress().value() != lastProgress) {
            lastProgress = window.loadProgress().value();
            ++progressSteps;
        }
        return !window.loadingMeasurement();
    });
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

// Paints reaching a widget.
class PaintCount : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
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
    // Readings at line rate for a while: what the process spends per reading, the paints they
    // cause included. The plot puts a long picture off, so one reading's own paint says little.
    PaintCount paints;
    plot.installEventFilter(&paints);
    QTimer line;
    line.setTimerType(Qt::PreciseTimer);
    line.setInterval(static_cast<int>(bench::WindowFixture::kLinePeriodMs));
    int received = 0;
    QObject::connect(&line, &QTimer::timeout, [&] {
        readings.next();
        ++received;
    });
    const double processorBefore = bench::processFigures().processorSeconds;
    const auto start = Clock::now();
    line.start();
    bench::waitUntil([&start] { return msSince(start) >= kLineRateSeconds * 1000.0; });
    line.stop();
    QApplication::processEvents();
    const double processorMs = (bench::processFigures().processorSeconds - processorBefore) * 1e3;
    plot.removeEventFilter(&paints);
    std::printf("readings at line rate on the Graph page for %.0f s: %d readings, %d paints of the "
                "plot, %.3f ms of the process's processor time per reading (%.2f %% of a core)\n",
                msSince(start) / 1000, received, paints.paints, processorMs / std::max(1, received),
                processorMs / msSince(start) * 100);
    std::fflush(stdout);
}

void timeStability(bench::WindowFixture& fixture, LateReadings& readings,
                   bench::PageTimingApplication& application) {
    app::MainWindow& window = fixture.window();
    app::StabilityPage& page = window.stabilityPage();
    const auto start = Clock::now();
    fixture.showPage(page);
    bench::waitUntil([&page] { return page.upToDate(); });
    std::printf("the Stability page's first analysis of the month: %.1f s\n",
                msSince(start) / 1000);
    reportMemory("after it", window.log().count());
    // A choice that starts an analysis at once and leaves the Allan deviation shown unchanged.
    QAction* choice = talvek::test::findMenuAction(
        page.menu(), {"Deviations", "Bias-corrected total deviations"});
    if (choice == nullptr) {
        std::printf("the Stability page offers no bias-corrected choice\n");
        return;
    }
    int shown = 0;
    QObject::connect(&page, &app::StabilityPage::resultShown, [&shown] { ++shown; });
    application.timePage(&page);
    QTimer line;
    line.setInterval(static_cast<int>(bench::WindowFixture::kLinePeriodMs));
    QObject::connect(&line, &QTimer::timeout, [&readings] { readings.next(); });
    line.start();
    std::vector<double> analysisSeconds;
    for (int refresh = 0; refresh <= kRefreshes; ++refresh) {
        const int shownBefore = shown;
        const auto chosen = Clock::now();
        // Through the page's event queue, as a click would come, so its handling is timed too.
        QTimer::singleShot(0, &page, [choice] { choice->toggle(); });
        bench::waitUntil([&] { return shown != shownBefore; });
        analysisSeconds.push_back(msSince(chosen) / 1000);
        const auto settled = Clock::now();
        bench::waitUntil([&settled] { return msSince(settled) >= kSettleMs; });
    }
    line.stop();
    std::printf("a choice on the Stability page until its result shows: median %.1f s\n",
                bench::summarize(analysisSeconds).median);
    report("Stability page refresh on the main thread (wall)",
           bench::summarize(application.perRefreshMs()));
    report("Stability page refresh on the main thread (processor)",
           bench::summarize(application.perRefreshCpuMs()));
    std::printf("longest single event of the Stability page: %.3f ms\n",
                application.longestEventMs());
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {.name = "month_open_bench",
         .what = "A month at line rate in the real window: time to open its journal (and how long\n"
                 "the event loop waited meanwhile), resident memory after, exact repaint and the\n"
                 "processor per reading at line rate on the Graph page, the Stability page's\n"
                 "refresh on the main thread.",
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
