// SPDX-License-Identifier: GPL-3.0-or-later
// Runs virtual-kelvo as the time-interval counter and reads its lines as a driver would: their
// format and pace, the log of them, the seed and the count, and commands that get no answer.

#include "tests/tools/virtual_kelvo_process.h"

#include <charconv>
#include <cmath>
#include <map>

#include <QRegularExpression>

namespace {

using namespace talvek::test;

// The whole seconds of a time stamp line and the phase it stands for; nothing when the line
// is not a time stamp.
std::optional<std::pair<long long, double>> stamp(const std::string& line) {
    static const QRegularExpression kStamp(R"(^\d+\.\d{12} chA$)");
    if (!kStamp.match(QString::fromStdString(line)).hasMatch()) {
        return std::nullopt;
    }
    const double picoseconds = std::stod(line.substr(line.find('.') + 1, 12));
    const long long seconds = std::stoll(line.substr(0, line.find('.')));
    return picoseconds >= 5e11 ? std::pair{seconds + 1, (picoseconds - 1e12) / 1e12}
                               : std::pair{seconds, picoseconds / 1e12};
}

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The next `count` lines as they come.
std::vector<std::string> nextLines(Peer& peer, int count, milliseconds timeout) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back(peer.nextLine(timeout));
    }
    return lines;
}

TEST(VirtualTicRun, StampsOnePpsAtTheGatePaceAndAnswersNoCommand) {
    VirtualKelvo counter;
    counter.start({"--instrument", "tic", "--gate", "0.1", "--log",
                   QString::fromStdString(counter.logPath())});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    peer.send("\x1bI\r\x1br\rhello\r\n");
    peer.nextLine(milliseconds(2000)); // it may have begun before the port was open
    const auto first = peer.lineLastByte;
    const std::vector<std::string> lines = nextLines(peer, 10, milliseconds(2000));
    // Ten gates of 0.1 s: about a second, with room for a loaded machine.
    const double elapsed = secondsBetween(first, peer.lineLastByte);
    EXPECT_GT(elapsed, 0.8);
    EXPECT_LT(elapsed, 2.0);
    counter.process().terminate();
    ASSERT_TRUE(counter.process().waitForFinished(3000));

    std::map<std::string, std::string> logged; // text -> value
    for (const LogLine& entry : readLog(counter.logPath())) {
        EXPECT_EQ(entry.kind, "reading") << entry.text;
        logged[entry.text] = entry.value;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto parsed = stamp(lines[i]);
        ASSERT_TRUE(parsed) << lines[i];
        EXPECT_LT(std::fabs(parsed->second), 1e-6) << lines[i];
        if (i > 0) {
            EXPECT_EQ(parsed->first, stamp(lines[i - 1])->first + 1) << lines[i];
        }
        ASSERT_TRUE(logged.contains(lines[i])) << lines[i];
        EXPECT_EQ(std::stod(logged[lines[i]]), parsed->second) << lines[i];
    }
}

struct TicRun {
    std::vector<std::string> lines;
    std::vector<double> values; // as logged
    double elapsed = 0;         // from the end of the first line to the end of the last
};

// The first `count` lines of each set of arguments, run side by side at a 1 s gate: the peers
// are there long before the first event.
std::vector<TicRun> runTogether(const std::vector<QStringList>& argumentSets, int count) {
    std::vector<std::unique_ptr<VirtualKelvo>> counters;
    std::vector<std::unique_ptr<Peer>> peers;
    for (const QStringList& arguments : argumentSets) {
        counters.push_back(std::make_unique<VirtualKelvo>());
        VirtualKelvo& counter = *counters.back();
        counter.start(QStringList{"--instrument", "tic", "--count", QString::number(count), "--log",
                                  QString::fromStdString(counter.logPath())} +
                      arguments);
        EXPECT_TRUE(counter.waitServing());
        peers.push_back(std::make_unique<Peer>(counter.device));
    }
    std::vector<TicRun> runs(argumentSets.size());
    for (std::size_t r = 0; r < runs.size(); ++r) {
        runs[r].lines = nextLines(*peers[r], 1, milliseconds(3000));
        const auto first = peers[r]->lineLastByte;
        for (const std::string& line : nextLines(*peers[r], count - 1, milliseconds(3000))) {
            runs[r].lines.push_back(line);
        }
        runs[r].elapsed = secondsBetween(first, peers[r]->lineLastByte);
        counters[r]->process().terminate();
        counters[r]->process().waitForFinished(3000);
        for (const LogLine& entry : readLog(counters[r]->logPath())) {
            runs[r].values.push_back(std::stod(entry.value));
        }
    }
    return runs;
}

TEST(VirtualTicRun, OneSeedGivesTheSamePhasesAsStampsAndAsIntervals) {
    const std::vector<TicRun> runs = runTogether({{"--seed", "11"},
                                                  {"--seed", "11"},
                                                  {"--seed", "12"},
                                                  {"--seed", "11", "--format", "interval"}},
                                                 3);
    const TicRun& stamps = runs[0];
    EXPECT_EQ(stamps.lines, runs[1].lines);
    EXPECT_NE(stamps.lines, runs[2].lines);
    ASSERT_EQ(stamps.values.size(), 3u); // --count 3
    ASSERT_EQ(runs[3].values.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        // Event n is stamped n seconds and its phase.
        const auto parsed = stamp(stamps.lines[i]);
        ASSERT_TRUE(parsed) << stamps.lines[i];
        EXPECT_EQ(parsed->first, i + 1);
        EXPECT_EQ(stamps.values[i], parsed->second);
        const std::string& interval = runs[3].lines[i];
        static const QRegularExpression kInterval(R"(^-?0\.\d{12}$)");
        EXPECT_TRUE(kInterval.match(QString::fromStdString(interval)).hasMatch()) << interval;
        EXPECT_EQ(runs[3].values[i], std::stod(interval));
        EXPECT_NEAR(runs[3].values[i], stamps.values[i], 1.5e-12);
    }
    EXPECT_GT(stamps.elapsed, 1.6); // two gates of a second
    EXPECT_LT(stamps.elapsed, 3.0);
}

TEST(VirtualTicRun, BurstFloodsAtItsMultipleOfTheLineRate) {
    VirtualKelvo counter;
    counter.start({"--instrument", "tic", "--format", "interval", "--burst", "2"});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    peer.nextLine(milliseconds(2000)); // it may have begun before the port was open
    const auto first = peer.lineLastByte;
    std::size_t bytes = 0;
    for (const std::string& line : nextLines(peer, 1000, milliseconds(2000))) {
        bytes += line.size() + 2;
    }
    // Twice 115200 baud is 23040 bytes a second, line after line.
    const double rate = static_cast<double>(bytes) / secondsBetween(first, peer.lineLastByte);
    EXPECT_GT(rate, 0.5 * 23040);
    EXPECT_LT(rate, 1.3 * 23040);
}

} // namespace
