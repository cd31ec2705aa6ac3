// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/trace_builder.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// Gaps where a block of the store begins and ends, inside a run of 64 and after the last reading.
const std::vector<std::size_t> kGapsBefore = {1000, 65536, 65600, 131071, 200000, 300000};
constexpr std::size_t kReadings = 300000;

// The store filled a step at a time, as a journal is read, with its gaps in their places.
void fill(recording::ReadingStore& store, std::size_t until, std::mt19937& random) {
    std::normal_distribution<double> noise(1e7, 0.05);
    while (store.size() < until) {
        for (const std::size_t before : kGapsBefore) {
            if (before == store.size()) {
                store.appendGap({static_cast<double>(store.size()) * 36.0,
                                 static_cast<double>(store.size()) * 36.0 + 500,
                                 recording::GapCause::Reconnect, 0});
            }
        }
        store.append(static_cast<double>(store.size()) * 36.0, noise(random),
                     analysis::Quantity::Frequency);
    }
}

} // namespace

// Snapshots taken in while the store fills give the trace a store taken in at once gives.
TEST(TraceBuilder, TakesInTheFillingStoreAsTheWholeStoreWouldBeTakenIn) {
    for (const std::size_t step : {std::size_t{7919}, std::size_t{65536}, kReadings}) {
        std::mt19937 random(7);
        auto store = std::make_shared<recording::ReadingStore>();
        const std::atomic<bool> cancel{false};
        app::TraceBuilder builder(cancel);
        for (std::size_t until = step; store->size() < kReadings; until += step) {
            fill(*store, std::min(until, kReadings), random);
            builder.offer(std::make_shared<const recording::ReadingTable>(store->snapshot()));
        }
        fill(*store, kReadings + 1, random); // the last reading, after the trailing gap
        const graph::PointArray built = builder.finish(store, [](double) {});

        graph::PointArray expected(std::make_shared<app::StoreCurve>(store));
        app::takeInBrokenAtGaps(expected, store->gaps());
        EXPECT_EQ(built.size(), store->size()) << step;
        EXPECT_EQ(built.breaks(), expected.breaks()) << step;
        EXPECT_EQ(built.xExtremes().lower, expected.xExtremes().lower) << step;
        EXPECT_EQ(built.xExtremes().upper, expected.xExtremes().upper) << step;
        EXPECT_EQ(built.yExtremes().lower, expected.yExtremes().lower) << step;
        EXPECT_EQ(built.yExtremes().upper, expected.yExtremes().upper) << step;
    }
}
