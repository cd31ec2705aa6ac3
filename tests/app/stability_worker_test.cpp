// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_worker.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kEveryMs = 200;

struct Told {
    qint64 atMs;
    double progress;
};

// An analysis of about a second that reports its progress every 10 ms as `fractionAt` says.
std::vector<Told> runReporting(double (*fractionAt)(int step)) {
    QObject context;
    std::vector<Told> told;
    bool finished = false;
    QElapsedTimer clock;
    app::StabilityWorker* workerAddress = nullptr;
    app::StabilityWorker worker(
        &context, [&finished](app::StabilityOutcome) { finished = true; },
        [&] {
            told.push_back({clock.elapsed(), workerAddress->progress()});
        },
        kEveryMs);
    workerAddress = &worker;
    clock.start();
    worker.start([fractionAt](const analysis::AnalysisControl& control) {
        for (int step = 0; step < 100; ++step) {
            control.progress(fractionAt(step));
            std::this_thread::sleep_for(10ms);
        }
        return app::StabilityOutcome{};
    });
    EXPECT_TRUE(QTest::qWaitFor([&finished] { return finished; }, 10000));
    return told;
}

// The main thread hears of the progress only when there is a new percentage to show, no sooner
// than the interval after the start, and no more often.
TEST(StabilityWorkerTest, TellsOfProgressOnlyWhenThePercentageRisesAndNoMoreOftenThanAsked) {
    const std::vector<Told> rising = runReporting([](int step) { return step / 100.0; });
    ASSERT_GE(rising.size(), 2U);
    EXPECT_LE(rising.size(), 1000U / kEveryMs + 1);
    EXPECT_GE(rising.front().atMs, kEveryMs);
    for (std::size_t i = 1; i < rising.size(); ++i) {
        EXPECT_GT(rising[i].progress, rising[i - 1].progress);
    }

    const std::vector<Told> standing = runReporting([](int) { return 0.004; });
    EXPECT_TRUE(standing.empty()) << "a percentage that stands still wakes nobody";
}

} // namespace
