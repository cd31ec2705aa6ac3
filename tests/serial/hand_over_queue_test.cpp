// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/hand_over_queue.h"

#include <gtest/gtest.h>

using serial::HandOver;
using serial::HandOverQueue;

namespace {

// What the main thread takes until the queue is empty, one word per hand-over.
std::vector<std::string> takeAll(HandOverQueue& queue) {
    std::vector<std::string> taken;
    while (const auto handOver = queue.take()) {
        switch (handOver->kind) {
        case HandOver::Kind::Telegram:
            taken.push_back(handOver->telegram);
            break;
        case HandOver::Kind::Silence:
            taken.push_back("<silence>");
            break;
        case HandOver::Kind::DeviceLost:
            taken.push_back("<lost>");
            break;
        case HandOver::Kind::Dropped:
            taken.push_back("<dropped " + std::to_string(handOver->dropped) + ">");
            break;
        }
    }
    return taken;
}

// Room for `count` one-byte telegrams.
constexpr std::size_t roomFor(std::size_t count) {
    return count * (sizeof(HandOver) + 1);
}

} // namespace

TEST(HandOverQueue, KeepsTheOrderAndWakesTheMainThreadOncePerBatch) {
    HandOverQueue queue;
    EXPECT_TRUE(queue.putTelegram("A", 11)) << "the first hand-over wakes the main thread";
    EXPECT_FALSE(queue.putSilence());
    EXPECT_FALSE(queue.putTelegram("B", 0));
    EXPECT_FALSE(queue.putDeviceLost());

    queue.beginBatch();
    const auto first = queue.take();
    EXPECT_EQ(first->telegram, "A");
    EXPECT_EQ(first->arrivalMs, 11) << "a telegram keeps the time it arrived";
    EXPECT_TRUE(queue.putTelegram("C", 0)) << "a put after the batch began wakes it again";
    EXPECT_FALSE(queue.endBatch()) << "that wake-up is under way already";
    EXPECT_EQ(takeAll(queue), (std::vector<std::string>{"<silence>", "B", "<lost>", "C"}));

    queue.beginBatch();
    EXPECT_TRUE(queue.putTelegram("D", 0));
    queue.beginBatch();
    EXPECT_TRUE(queue.endBatch()) << "a batch that leaves hand-overs behind wakes itself";
    EXPECT_FALSE(queue.endBatch());
    EXPECT_FALSE(queue.putTelegram("E", 0));
    EXPECT_EQ(takeAll(queue), (std::vector<std::string>{"D", "E"}));
    queue.beginBatch();
    EXPECT_FALSE(queue.endBatch()) << "nothing left: nothing to wake for";
}

TEST(HandOverQueue, ReportsTelegramsDroppedAtTheBoundWhereTheyWereLost) {
    HandOverQueue queue(roomFor(3));
    for (const char* telegram : {"1", "2", "3", "4", "5"}) {
        queue.putTelegram(telegram, 0);
    }
    EXPECT_EQ(queue.take()->telegram, "1");
    queue.putTelegram("6", 0); // room again
    queue.putSilence();        // never dropped
    queue.putTelegram("7", 0); // full again
    queue.putTelegram("8", 0);
    EXPECT_EQ(takeAll(queue),
              (std::vector<std::string>{"2", "3", "<dropped 2>", "6", "<silence>", "<dropped 2>"}))
        << "a drop at the end is reported once the queue has run empty";
    EXPECT_EQ(queue.take(), std::nullopt);

    for (const char* telegram : {"a", "b", "c", "d"}) {
        queue.putTelegram(telegram, 0);
    }
    queue.clear();
    EXPECT_EQ(queue.take(), std::nullopt) << "a closed port's telegrams and drops are forgotten";
}
