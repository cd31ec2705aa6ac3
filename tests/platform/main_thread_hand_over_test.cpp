#include "platform/main_thread_hand_over.h"
#include "tests/support/fake_serial_machine.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

TEST(RunOnMainThread, RunsThePartOnTheMainThreadAndWaitsForIt) {
    std::atomic<bool> workerDone{false};
    QThread* ranOn = nullptr;
    int value = 0;
    int seenByWorker = -1;
    std::thread worker([&] {
        platform::RunOnMainThread([&] {
            ranOn = QThread::currentThread();
            value = 42;
        });
        seenByWorker = value;
        workerDone = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(workerDone) << "the worker waits while the main thread serves no events";
    EXPECT_TRUE(talvek::test::PumpUntil([&] { return workerDone.load(); }, 5s));
    worker.join();
    EXPECT_EQ(ranOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(seenByWorker, 42);
}

TEST(RunOnMainThread, ServesSeveralWorkersEachOnce) {
    std::atomic<int> finished{0};
    int runs = 0;
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&] {
            for (int k = 0; k < 25; ++k) {
                platform::RunOnMainThread([&] { ++runs; });
            }
            ++finished;
        });
    }
    EXPECT_TRUE(talvek::test::PumpUntil([&] { return finished == 4; }, 10s));
    for (auto& w : workers) {
        w.join();
    }
    EXPECT_EQ(runs, 100);
}
