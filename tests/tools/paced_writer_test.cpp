#include "tools/line_shaper.h"
#include "tools/paced_writer.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace vkelvo {
namespace {

constexpr double kLine = 960; // bytes per second: one byte every 1041.67 us

struct Line {
    std::string Received;
    std::vector<std::string> Writes;
    long Answer = -2; // -2: take everything; otherwise the fixed answer of the line

    PacedWriter::LineWrite Writer() {
        return [this](std::string_view bytes) -> long {
            if (Answer != -2) {
                return Answer;
            }
            Received += bytes;
            Writes.emplace_back(bytes);
            return static_cast<long>(bytes.size());
        };
    }
};

TEST(PacedWriter, SendsOneBytePerByteTime) {
    PacedWriter writer(kLine);
    Line line;
    writer.Enqueue("ABCDEFGHIJ", 0, 7, "note");
    EXPECT_EQ(writer.Backlog(), 10u);
    EXPECT_TRUE(writer.Pump(0, line.Writer()).empty());
    EXPECT_EQ(line.Received, "A");
    EXPECT_EQ(writer.Backlog(), 9u);
    EXPECT_EQ(writer.NextDueUs(0), 1042);
    writer.Pump(1041, line.Writer());
    EXPECT_EQ(line.Received, "A");
    writer.Pump(1042, line.Writer());
    EXPECT_EQ(line.Received, "AB");
    writer.Pump(5000, line.Writer());
    EXPECT_EQ(line.Received, "ABCDE");
    const auto done = writer.Pump(9375, line.Writer());
    EXPECT_EQ(line.Received, "ABCDEFGHIJ");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].Tag, 7);
    EXPECT_EQ(done[0].Note, "note");
    EXPECT_TRUE(done[0].Delivered);
    EXPECT_TRUE(writer.Empty());
    EXPECT_EQ(writer.Backlog(), 0u);
    EXPECT_FALSE(writer.NextDueUs(9375).has_value());
}

TEST(PacedWriter, NextPieceWaitsForTheLineAndItsPause) {
    PacedWriter writer(kLine);
    Line line;
    writer.Enqueue("AB");
    writer.Enqueue("CD", 30000);
    writer.Pump(0, line.Writer());
    writer.Pump(1042, line.Writer()); // "AB" done; the line is busy until 2084
    EXPECT_EQ(line.Received, "AB");
    EXPECT_EQ(writer.NextDueUs(1042), 2084 + 30000);
    writer.Pump(32083, line.Writer());
    EXPECT_EQ(line.Received, "AB");
    writer.Pump(32084, line.Writer());
    EXPECT_EQ(line.Received, "ABC");
}

TEST(PacedWriter, FasterLineSendsMoreBytesInTheSameTime) {
    PacedWriter writer(kLine * 10);
    Line line;
    writer.Enqueue(std::string(100, 'x'));
    writer.Pump(0, line.Writer());
    writer.Pump(5000, line.Writer());
    EXPECT_EQ(line.Received.size(), 49u); // 5 ms at 9600 bytes per second, plus the first
}

TEST(PacedWriter, BytesNobodyHearsAreLostAndNotDelivered) {
    PacedWriter writer(kLine);
    Line line;
    line.Answer = -1;
    writer.Enqueue("OK\r\n", 0, 1);
    EXPECT_TRUE(writer.Pump(10000, line.Writer()).empty());
    const auto done = writer.Pump(10000 + 4 * 1042, line.Writer());
    ASSERT_EQ(done.size(), 1u);
    EXPECT_FALSE(done[0].Delivered);
    EXPECT_TRUE(writer.Empty());
}

TEST(PacedWriter, FullLineHoldsTheBytesUntilThereIsRoom) {
    PacedWriter writer(kLine);
    Line line;
    line.Answer = 0;
    writer.Enqueue("OK\r\n", 0, 1);
    EXPECT_TRUE(writer.Pump(10000, line.Writer()).empty());
    EXPECT_LE(*writer.NextDueUs(10000), 10000); // overdue: waiting for room
    line.Answer = -2;
    // The held bytes go as soon as there is room, the rest keep their pace.
    writer.Pump(20000, line.Writer());
    EXPECT_EQ(line.Received, "O");
    const auto done = writer.Pump(20000 + 3 * 1042, line.Writer());
    EXPECT_EQ(line.Received, "OK\r\n");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0].Delivered);
}

// Runs the line until everything queued has gone: what arrived, and the pieces finished.
std::string Shape(const Options& options, const std::string& text,
                  std::vector<PacedWriter::Finished>* finished = nullptr) {
    std::mt19937_64 random(42);
    LineShaper shaper(options, random);
    PacedWriter writer(kLine);
    shaper.Send(writer, text, PieceReading);
    Line line;
    for (std::int64_t t = 0; !writer.Empty(); t = *writer.NextDueUs(t)) {
        auto done = writer.Pump(t, line.Writer());
        if (finished) {
            finished->insert(finished->end(), done.begin(), done.end());
        }
    }
    return line.Received;
}

TEST(LineShaper, PlainTelegramEndsInCrLf) {
    std::vector<PacedWriter::Finished> finished;
    EXPECT_EQ(Shape(Options{}, "10000000.52", &finished), "10000000.52\r\n");
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].Tag, PieceReading);
    EXPECT_EQ(finished[0].Note, "10000000.52");
}

TEST(LineShaper, NoDelimiterLeavesOutCrLf) {
    Options options;
    options.NoDelimiter = true;
    EXPECT_EQ(Shape(options, "10000000.52"), "10000000.52");
}

TEST(LineShaper, SplitTelegramArrivesWholeInPiecesWithPauses) {
    Options options;
    options.Split = true;
    for (int run = 0; run < 20; ++run) {
        std::mt19937_64 random(run);
        LineShaper shaper(options, random);
        PacedWriter writer(kLine);
        shaper.Send(writer, "10000000.52", PieceReading);
        Line line;
        std::vector<std::int64_t> starts;
        std::int64_t t = 0;
        std::size_t pauses = 0;
        int readings = 0;
        while (!writer.Empty()) {
            t = *writer.NextDueUs(t);
            const std::size_t before = line.Received.size();
            const auto done = writer.Pump(t, line.Writer());
            if (line.Received.size() > before && before > 0 &&
                t - starts.back() > 15000) { // longer than any byte time: a pause
                ++pauses;
            }
            if (line.Received.size() > before) {
                starts.push_back(t);
            }
            for (const auto& piece : done) {
                if (piece.Tag == PieceReading) {
                    ++readings;
                    EXPECT_EQ(piece.Note, "10000000.52");
                }
            }
        }
        EXPECT_EQ(readings, 1);
        EXPECT_EQ(line.Received, "10000000.52\r\n");
        EXPECT_GE(pauses, 1u);
        EXPECT_LE(pauses, 2u);
    }
}

TEST(LineShaper, GarbageGoesInFrontAndNeverHoldsALoneLineEnd) {
    Options options;
    options.GarbageRate = 1;
    for (int run = 0; run < 50; ++run) {
        std::mt19937_64 random(run);
        LineShaper shaper(options, random);
        const std::string noise = shaper.Garbage();
        const std::string body = noise.size() >= 2 && noise.substr(noise.size() - 2) == "\r\n"
                                     ? noise.substr(0, noise.size() - 2)
                                     : noise;
        EXPECT_GE(body.size(), 1u);
        EXPECT_LE(body.size(), 12u);
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    }
    std::vector<PacedWriter::Finished> finished;
    const std::string received = Shape(options, "OK", &finished);
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(finished[0].Tag, PieceGarbage);
    EXPECT_EQ(finished[1].Tag, PieceReading);
    EXPECT_EQ(received, finished[0].Note + "OK\r\n");
}

} // namespace
} // namespace vkelvo
