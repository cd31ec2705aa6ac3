// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/reading_store.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using analysis::Quantity;
using recording::ReadingStore;
using recording::ReadingTable;

struct Stamped {
    double timeMs;
    double value;
};

// Every time stamp and value exactly as appended, bit for bit, through both ways of reading.
void expectHolds(const ReadingTable& table, const std::vector<Stamped>& expected) {
    ASSERT_EQ(table.size(), expected.size());
    std::size_t i = 0;
    for (std::size_t b = 0; b < table.blockCount(); ++b) {
        const analysis::ReadingBlock block = table.block(b);
        ASSERT_EQ(block.first, i);
        for (std::size_t k = 0; k < block.count; ++k, ++i) {
            ASSERT_EQ(std::bit_cast<std::uint64_t>(block.timeMs(k)),
                      std::bit_cast<std::uint64_t>(expected[i].timeMs))
                << i;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(block.value(k)),
                      std::bit_cast<std::uint64_t>(expected[i].value))
                << i;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(table.timeMs(i)),
                      std::bit_cast<std::uint64_t>(expected[i].timeMs));
            ASSERT_EQ(std::bit_cast<std::uint64_t>(table.value(i)),
                      std::bit_cast<std::uint64_t>(expected[i].value));
        }
    }
    EXPECT_EQ(i, expected.size());
}

// One odd time stamp or value among ordinary ones, and where it goes.
struct OddOne {
    const char* name;
    std::size_t at;
    double odd;
};

// Whole milliseconds take the narrow column; a time that is not one, or that lies too far from
// the block's first, turns the block wide without changing any time held, in any block.
TEST(ReadingStore, KeepsEveryTimeAndValueExactly) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::size_t block = ReadingTable::kBlockReadings;
    using Case = OddOne;
    for (const Case& c : {Case{"whole ms only", 0, 0.0}, Case{"a fraction", 70, 1234.5},
                          Case{"minus zero", block + 3, -0.0}, Case{"no number", 1, kNaN},
                          Case{"beyond 32 bits", 2 * block + 9, 6e9},
                          Case{"huge", block - 1, 1e300}, Case{"negative", 5, -7.0}}) {
        SCOPED_TRACE(c.name);
        ReadingStore store;
        std::vector<Stamped> expected;
        std::mt19937_64 rng(3);
        std::uniform_real_distribution<double> noise(-1, 1);
        for (std::size_t i = 0; i < 3 * block + 100; ++i) {
            const double time = i == c.at ? c.odd : 36.0 * static_cast<double>(i) + 1e9;
            const double value = 1e7 + noise(rng) * 1e-3;
            store.append(time, value, Quantity::Frequency);
            expected.push_back({time, value});
        }
        expectHolds(store, expected);
    }
}

// A counter's value: a whole number of its last decimal place, read from text as the division
// by the power of ten rounds it.
double decimal(std::int64_t whole, double placesDivisor) {
    return static_cast<double>(whole) / placesDivisor;
}

// Values with a few decimal places, plain or times a unit's factor, keep the 4-byte column through
// values with more places or another factor (the column takes them on), from the first block on;
// one that has no such form, or lies too far from the block's first, turns its block to 8-byte
// values without changing any value held.
TEST(ReadingStore, KeepsEveryValueExactlyInEitherColumn) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::size_t block = ReadingTable::kBlockReadings;
    using Case = OddOne;
    for (const Case& c :
         {Case{"places only", 0, decimal(10'000'000'001'234, 1e6)},
          Case{"more places", 70, decimal(100'000'000'012'345, 1e7)},
          Case{"the most places", block + 5, 1.2345678901234e-9},
          Case{"no places form", 2, 0.1 + 0.2}, Case{"far away", block + 3, 2.5e7},
          Case{"minus zero", 1, -0.0}, Case{"no number", 2 * block + 9, kNaN},
          Case{"infinite", block - 1, -kInf}, Case{"subnormal", 3, 5e-324},
          Case{"huge", 2 * block, 1e300}, Case{"negative", 4, -decimal(10'000'000'001'234, 1e6)},
          Case{"in kilohertz", 6, decimal(10'000'000'003, 1e6) * 1e3}}) {
        for (const bool megahertz : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (megahertz ? " among megahertz" : " among hertz"));
            ReadingStore store;
            std::vector<Stamped> expected;
            std::mt19937_64 rng(3);
            std::uniform_int_distribution<std::int64_t> noise(-5000, 5000);
            for (std::size_t i = 0; i < 3 * block + 100; ++i) {
                const std::int64_t step = noise(rng);
                const double value = i == c.at   ? c.odd
                                     : megahertz ? decimal(1'000'000'051 + step, 1e8) * 1e6
                                                 : decimal(10'000'000'001'234 + step, 1e6);
                store.append(36.0 * static_cast<double>(i), value, Quantity::Frequency);
                expected.push_back({36.0 * static_cast<double>(i), value});
            }
            expectHolds(store, expected);
        }
    }
}

// Eight bytes a reading of whole milliseconds and a counter's values (a number with decimal
// places, perhaps times its unit's factor), twelve where the values have no such form: a short
// store leaves at most a quarter of its room empty, a long one at most one block.
TEST(ReadingStore, CostsEightBytesAReadingOfACountersValues) {
    struct Series {
        const char* name;
        double (*value)(std::int64_t step);
        double bytes;
    };
    for (const Series& series : {
             Series{"hertz",
                    [](std::int64_t step) { return decimal(10'000'000'001'234 + step, 1e6); }, 8},
             Series{"megahertz",
                    [](std::int64_t step) { return decimal(1'000'000'051 + step, 1e8) * 1e6; }, 8},
             Series{"nanoseconds",
                    [](std::int64_t step) { return decimal(99'999'874 + step, 1e6) * 1e-9; }, 8},
             Series{"no decimal form",
                    [](std::int64_t step) {
                        return 1e7 + std::sqrt(static_cast<double>(step)) * 1e-6;
                    },
                    12},
         }) {
        SCOPED_TRACE(series.name);
        for (const std::size_t n : {1000u, 50'000u, 100'000u, 1'000'000u, 3'000'000u}) {
            ReadingStore store;
            for (std::size_t i = 0; i < n; ++i) {
                store.append(36.0 * static_cast<double>(i),
                             series.value(static_cast<std::int64_t>(i % 977)), Quantity::Frequency);
            }
            const auto bytes = static_cast<double>(store.memoryBytes());
            EXPECT_GE(bytes, series.bytes * n) << n;
            EXPECT_LT(bytes, n <= ReadingTable::kBlockReadings
                                 ? series.bytes * 1.25 * n + 1024
                                 : series.bytes * (n + ReadingTable::kBlockReadings) + 1024)
                << n;
        }
    }
}

TEST(ReadingStore, TellsEachReadingsQuantityAndPlacesGaps) {
    ReadingStore store;
    store.appendGap({0, 10, recording::GapCause::Reconnect, 0});
    store.append(10, 1e7, Quantity::Frequency);
    store.append(20, 1e-7, Quantity::Period);
    store.appendGap({20, 50, recording::GapCause::LostTelegrams, 2});
    store.append(50, 1e-7, Quantity::Period);
    store.append(60, 1e7, Quantity::Frequency);
    store.appendGap({60, 70, recording::GapCause::LostTelegrams, 0});
    EXPECT_EQ(store.quantity(0), Quantity::Frequency);
    EXPECT_EQ(store.quantity(1), Quantity::Period);
    EXPECT_EQ(store.quantity(2), Quantity::Period);
    EXPECT_EQ(store.quantity(3), Quantity::Frequency);
    ASSERT_EQ(store.gaps().size(), 3u);
    EXPECT_EQ(store.gaps()[0].beforeReading, 0u);
    EXPECT_EQ(store.gaps()[1].beforeReading, 2u);
    EXPECT_EQ(store.gaps()[1].gap.lostTelegrams, 2u);
    EXPECT_EQ(store.gaps()[2].beforeReading, 4u);
    store.setQuantity(Quantity::Phase);
    EXPECT_EQ(store.quantity(1), Quantity::Phase);
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_TRUE(store.gaps().empty());
    EXPECT_EQ(store.blockCount(), 0u);
}

// A snapshot read on another thread holds what it held while the store grows, moves its first
// block to a bigger one and turns a block wide.
TEST(ReadingStore, ASnapshotStaysWhileTheStoreGrows) {
    ReadingStore store;
    std::vector<Stamped> expected;
    const auto add = [&](std::size_t i) {
        const double time = i % 50'001 == 50'000 ? 0.5 + static_cast<double>(i) : 36.0 * i;
        store.append(time, static_cast<double>(i), Quantity::Frequency);
        expected.push_back({time, static_cast<double>(i)});
    };
    for (std::size_t i = 0; i < 1000; ++i) {
        add(i);
    }
    for (int round = 0; round < 4; ++round) {
        const ReadingTable snapshot = store.snapshot();
        const std::vector<Stamped> held = expected;
        std::thread reader([&] { expectHolds(snapshot, held); });
        const std::size_t from = expected.size();
        for (std::size_t i = from; i < from + 60'000; ++i) {
            add(i);
        }
        reader.join();
    }
    expectHolds(store, expected);
}

} // namespace
