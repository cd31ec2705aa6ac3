// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/main_thread_hand_over.h"
#include "tests/support/fake_serial_machine.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>

using namespace std::chrono_literals;

TEST(PostToMainThread, ReturnsAtOnceAndRunsThePartsOnTheMainThreadInOrder) {
    std::vector<int> ran;
    std::atomic<bool> allRanOnMain{true};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            EXPECT_TRUE(platform::postToMainThread([&, i] {
                allRanOnMain = allRanOnMain && QThread::currentThread() == qApp->thread();
                ran.push_back(i);
            }));
        }
    });
    worker.join(); // while the main thread serves no events
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(talvek::test::pumpUntil([&] { return ran.size() == 100; }, 5s));
    std::vector<int> inOrder(100);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(ran, inOrder);
    EXPECT_TRUE(allRanOnMain);
}

// The parts run while the poster goes on, and find what it wrote for them just before posting
// (under ThreadSanitizer this also checks that it sees the order the hand-over gives).
TEST(PostToMainThread, PartsSeeWhatThePosterWroteWhileItRunsOn) {
    std::vector<int> ran;
    std::mutex mutex;
    std::condition_variable changed;
    bool finished = false;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            const auto value = std::make_shared<const std::vector<int>>(1000, i);
            EXPECT_TRUE(
                platform::postToMainThread([&ran, value] { ran.push_back(value->back()); }));
        }
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return finished; });
    });
    EXPECT_TRUE(talvek::test::pumpUntil([&] { return ran.size() == 100; }, 5s));
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    changed.notify_one();
    worker.join();
    std::vector<int> inOrder(100);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(ran, inOrder);
}

// A part of an object runs while the object is there and is dropped once it has gone.
TEST(PostToMainThread, APartOfAnObjectGoneIsDropped) {
    int ran = 0;
    auto kept = std::make_unique<QObject>();
    auto gone = std::make_unique<QObject>();
    std::thread worker([&] {
        EXPECT_TRUE(platform::postToMainThread(kept.get(), [&ran] { ran += 1; }));
        EXPECT_TRUE(platform::postToMainThread(gone.get(), [&ran] { ran += 10; }));
    });
    worker.join();
    gone.reset();
    EXPECT_TRUE(talvek::test::pumpUntil([&] { return ran != 0; }, 5s));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(platform::postToMainThread(nullptr, [] {}));
}
