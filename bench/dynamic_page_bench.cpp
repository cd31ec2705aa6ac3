// SPDX-License-Identifier: GPL-3.0-or-later
// The "Dynamic ADEV" page holding the event loop: a measurement of 1e4, 1e5 or 1e6 readings
// opened on the showing page, turn by turn until the picture is complete (the longest turn and
// the turns taken), then one reading more per turn as a live run brings them (the longest turn),
// and the paint of the finished picture.
#include "app/dynamic_page.h"
#include "app/dynamic_plot.h"
#include "bench/bench_options.h"
#include "bench/timing_summary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double msOf(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {.name = "dynamic_page_bench",
         .what = "Turns of the event loop the \"Dynamic ADEV\" page takes: an opened measurement\n"
                 "until its picture is complete, then readings one per turn, and a paint.",
         .defaultPoints = 0,
         .drawsSignal = true,
         .pointsTable = {10'000, 100'000, 1'000'000}});
    QApplication application(argc, argv);
    for (const long count : options.pointCounts) {
        bench::SignalSource signal(options.signal);
        auto readings = std::make_shared<recording::ReadingStore>();
        for (long i = 0; i < count; ++i) {
            readings->append(100.0 * static_cast<double>(i), signal.next(),
                             analysis::Quantity::Frequency);
        }
        app::DynamicPage page;
        page.resize(1148, 520);
        page.show();
        if (!QTest::qWaitForWindowExposed(&page)) {
            std::fprintf(stderr, "the page was not shown\n");
            return 1;
        }
        page.follow(readings);
        std::vector<double> turns;
        while (page.analysedReadings() < readings->size() || page.shownColumns().empty()) {
            QElapsedTimer turn;
            turn.start();
            QApplication::processEvents();
            turns.push_back(msOf(turn));
        }
        const bench::TimingSummary opened = bench::summarize(turns);
        const std::size_t openedTurns = turns.size();
        turns.clear();
        for (int i = 0; i < 2000; ++i) {
            readings->append(100.0 * static_cast<double>(readings->size()), signal.next(),
                             analysis::Quantity::Frequency);
            page.readingsAdded();
            QElapsedTimer turn;
            turn.start();
            QApplication::processEvents();
            turns.push_back(msOf(turn));
        }
        const bench::TimingSummary live = bench::summarize(turns);
        std::vector<double> paints;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer paint;
            paint.start();
            page.plot().repaint();
            paints.push_back(msOf(paint));
        }
        std::printf("%8ld readings opened: %zu turns, longest %.2f ms; live: longest turn %.2f ms, "
                    "median %.3f ms; paint of %zu columns median %.2f ms\n",
                    count, openedTurns, opened.max, live.max, live.median,
                    page.shownColumns().size(), bench::summarize(paints).median);
    }
    return 0;
}
