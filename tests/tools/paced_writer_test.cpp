// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/line_shaper.h"
#include "tools/paced_writer.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tools {
namespace {

constexpr double kLine = 960; // bytes per second: one byte every 1041.67 us

struct Line {
    std::string received;
    std::vector<std::string> writes;
    long answer = -2; // -2: take everything; otherwise the fixed answer of the line

    PacedWriter::LineWrite sink() {
        return [this](std::string_view bytes) -> long {
            if (answer != -2) {
                return answer;
            }
            received += bytes;
            writes.emplace_back(bytes);
            return static_cast<long>(bytes.size());
        };
    }
};

TEST(PacedWriter, SendsOneBytePerByteTime) {
    PacedWriter writer(kLine);
    Line line;
    writer.enqueue("ABCDEFGHIJ", 0, 7, "note");
    EXPECT_EQ(writer.backlog(), 10u);
    EXPECT_TRUE(writer.pump(0, line.sink()).empty());
    EXPECT_EQ(line.received, "A");
    EXPECT_EQ(writer.backlog(), 9u);
    EXPECT_EQ(writer.nextDueUs(0), 1042);
    writer.pump(1041, line.sink());
    EXPECT_EQ(line.received, "A");
    writer.pump(1042, line.sink());
    EXPECT_EQ(line.received, "AB");
    writer.pump(5000, line.sink());
    EXPECT_EQ(line.received, "ABCDE");
    const auto done = writer.pump(9375, line.sink());
    EXPECT_EQ(line.received, "ABCDEFGHIJ");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].tag, 7);
    EXPECT_EQ(done[0].note, "note");
    EXPECT_TRUE(done[0].delivered);
    EXPECT_TRUE(writer.empty());
    EXPECT_EQ(writer.backlog(), 0u);
    EXPECT_FALSE(writer.nextDueUs(9375).has_value());
}

TEST(PacedWriter, NextPieceWaitsForTheLineAndItsPause) {
    PacedWriter writer(kLine);
    Line line;
    writer.enqueue("AB");
    writer.enqueue("CD", 30000);
    writer.pump(0, line.sink());
    writer.pump(1042, line.sink()); // "AB" done; the line is busy until 2084
    EXPECT_EQ(line.received, "AB");
    EXPECT_EQ(writer.nextDueUs(1042), 2084 + 30000);
    writer.pump(32083, line.sink());
    EXPECT_EQ(line.received, "AB");
    writer.pump(32084, line.sink());
    EXPECT_EQ(line.received, "ABC");
}

TEST(PacedWriter, FasterLineSendsMoreBytesInTheSameTime) {
    PacedWriter writer(kLine * 10);
    Line line;
    writer.enqueue(std::string(100, 'x'));
    writer.pump(0, line.sink());
    writer.pump(5000, line.sink());
    EXPECT_EQ(line.received.size(), 49u); // 5 ms at 9600 bytes per second, plus the first
}

TEST(PacedWriter, BytesNobodyHearsAreLostAndNotDelivered) {
    PacedWriter writer(kLine);
    Line line;
    line.answer = -1;
    writer.enqueue("OK\r\n", 0, 1);
    EXPECT_TRUE(writer.pump(10000, line.sink()).empty());
    const auto done = writer.pump(10000 + 4 * 1042, line.sink());
    ASSERT_EQ(done.size(), 1u);
    EXPECT_FALSE(done[0].delivered);
    EXPECT_TRUE(writer.empty());
}

TEST(PacedWriter, FullLineHoldsTheBytesUntilThereIsRoom) {
    PacedWriter writer(kLine);
    Line line;
    line.answer = 0;
    writer.enqueue("OK\r\n", 0, 1);
    EXPECT_TRUE(writer.pump(10000, line.sink()).empty());
    EXPECT_LE(*writer.nextDueUs(10000), 10000); // overdue: waiting for room
    line.answer = -2;
    // The held bytes go as soon as there is room, the rest keep their pace.
    writer.pump(20000, line.sink());
    EXPECT_EQ(line.received, "O");
    const auto done = writer.pump(20000 + 3 * 1042, line.sink());
    EXPECT_EQ(line.received, "OK\r\n");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0].delivered);
}

// Runs the line until everything queued has gone: what arrived, and the pieces finished.
std::string shape(const Options& options, const std::string& text,
                  std::vector<PacedWriter::Finished>* finished = nullptr) {
    std::mt19937_64 random(42);
    LineShaper shaper(options, random);
    PacedWriter writer(kLine);
    shaper.send(writer, text, PieceReading);
    Line line;
    for (std::int64_t t = 0; !writer.empty(); t = *writer.nextDueUs(t)) {
        auto done = writer.pump(t, line.sink());
        if (finished) {
            finished->insert(finished->end(), done.begin(), done.end());
        }
    }
    return line.received;
}

TEST(LineShaper, PlainTelegramEndsInCrLf) {
    std::vector<PacedWriter::Finished> finished;
    EXPECT_EQ(shape(Options{}, "10000000.52", &finished), "10000000.52\r\n");
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].tag, PieceReading);
    EXPECT_EQ(finished[0].note, "10000000.52");
}

TEST(LineShaper, NoDelimiterLeavesOutCrLf) {
    Options options;
    options.noDelimiter = true;
    EXPECT_EQ(shape(options, "10000000.52"), "10000000.52");
}

TEST(LineShaper, SplitTelegramArrivesWholeInPiecesWithPauses) {
    Options options;
    options.split = true;
    for (int run = 0; run < 20; ++run) {
        std::mt19937_64 random(run);
        LineShaper shaper(options, random);
        PacedWriter writer(kLine);
        shaper.send(writer, "10000000.52", PieceReading);
        Line line;
        std::vector<std::int64_t> starts;
        std::int64_t t = 0;
        std::size_t pauses = 0;
        int readings = 0;
        while (!writer.empty()) {
            t = *writer.nextDueUs(t);
            const std::size_t before = line.received.size();
            const auto done = writer.pump(t, line.sink());
            if (line.received.size() > before && before > 0 &&
                t - starts.back() > 15000) { // longer than any byte time: a pause
                ++pauses;
            }
            if (line.received.size() > before) {
                starts.push_back(t);
            }
            for (const auto& piece : done) {
                if (piece.tag == PieceReading) {
                    ++readings;
                    EXPECT_EQ(piece.note, "10000000.52");
                }
            }
        }
        EXPECT_EQ(readings, 1);
        EXPECT_EQ(line.received, "10000000.52\r\n");
        EXPECT_GE(pauses, 1u);
        EXPECT_LE(pauses, 2u);
    }
}

TEST(LineShaper, GarbageGoesInFrontAndNeverHoldsALoneLineEnd) {
    Options options;
    options.garbageRate = 1;
    for (int run = 0; run < 50; ++run) {
        std::mt19937_64 random(run);
        LineShaper shaper(options, random);
        const std::string noise = shaper.garbage();
        const std::string body = noise.size() >= 2 && noise.substr(noise.size() - 2) == "\r\n"
                                     ? noise.substr(0, noise.size() - 2)
                                     : noise;
        EXPECT_GE(body.size(), 1u);
        EXPECT_LE(body.size(), 12u);
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    }
    std::vector<PacedWriter::Finished> finished;
    const std::string received = shape(options, "OK", &finished);
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(finished[0].tag, PieceGarbage);
    EXPECT_EQ(finished[1].tag, PieceReading);
    EXPECT_EQ(received, finished[0].note + "OK\r\n");
}

} // namespace
} // namespace tools
