// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli record against the virtual counter program: what it records equals what the counter
// sent, a stop signal leaves a whole file, and each failure ends with its exit status.
#include "cli_run.h"
#include "tests/e2e/virtual_counter.h"

#include "recording/journal_reader.h"
#include "recording/measurement_file.h"
#include "recording/utc_time.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using cli_test::CliRun;
using cli_test::runCli;

std::vector<std::string> readingLines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("/*", 0) != 0 && line != recording::kTimestampedCsvHeader) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RecordCli : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return home_.filePath(name.c_str()).toStdString();
    }

    // A counter of its own for each run, waiting for commands.
    bool startCounter(QStringList options, const std::string& log = "sent.log") {
        std::filesystem::remove(path(log));
        counter_ = std::make_unique<VirtualCounter>(home_.path().toStdString(), path(log));
        options << "--start"
                << "idle"
                << "--gate"
                << "0.1";
        return counter_->start(options);
    }

    std::vector<std::pair<std::string, std::string>> environment() const {
        return {{"XDG_DATA_HOME", home_.path().toStdString()}};
    }

    // The file holds the first readings the counter sent, in order, each with its value, and
    // nothing else; standard output has the same readings as lines.
    void expectRecorded(const std::string& file, const std::string& output, std::size_t count) {
        const recording::MeasurementFile recorded = recording::readMeasurementFile(file);
        ASSERT_EQ(recorded.error, "");
        EXPECT_EQ(recorded.badLines, 0u);
        ASSERT_EQ(recorded.readings.size(), count);
        EXPECT_EQ(readingLines(output).size(), count);
        const auto sent = counter_->sentReadings();
        ASSERT_GE(sent.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_TRUE(sent[i].value.has_value());
            EXPECT_NEAR(recorded.readings[i].value, *sent[i].value, 1e-14 * *sent[i].value) << i;
            if (i > 0) {
                EXPECT_GT(recorded.readings[i].timeMs, recorded.readings[i - 1].timeMs) << i;
            }
        }
    }

    QTemporaryDir home_;
    std::unique_ptr<VirtualCounter> counter_;
};

TEST_F(RecordCli, PortsListsTheCounterWithItsKindDeviceAndName) {
    ASSERT_TRUE(startCounter({}));
    const CliRun run = runCli({"ports"}, environment());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line) && line.rfind(counter_->comName + " ", 0) != 0) {
    }
    std::istringstream fields(line);
    std::string com, kind, device;
    fields >> com >> kind >> device;
    EXPECT_EQ(kind, "virtual") << run.out;
    EXPECT_EQ(device, counter_->device) << run.out;
    EXPECT_NE(line.find("Virtual serial port"), std::string::npos) << run.out;
}

TEST_F(RecordCli, RecordsACountAsTheCounterSentIt) {
    const struct {
        const char* file;
        std::vector<std::string> options;
        std::size_t count;
    } cases[] = {
        {"run.dat", {"--count", "12"}, 12},
        {"run.csv", {"--count", "5", "--format", "hertz", "--gate", "1", "--command", "i2"}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_TRUE(startCounter({}));
        std::vector<std::string> arguments{"record", "--port", counter_->comName, "--out",
                                           path(c.file)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliRun run = runCli(arguments, environment());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        expectRecorded(path(c.file), run.out, c.count);
        // A clean end removes the journal: the file holds everything.
        EXPECT_FALSE(std::filesystem::exists(path("run.tvj")));
        counter_->stop();
    }
}

// --time utc: standard output and the file as a timestamped CSV, each reading at the moment it
// arrived in UTC.
TEST_F(RecordCli, UtcTimesAreTheMomentsOfArrival) {
    ASSERT_TRUE(startCounter({}));
    const auto nowUtcMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const std::int64_t before = nowUtcMs();
    const CliRun run = runCli({"record", "--port", counter_->comName, "--count", "4", "--time",
                               "utc", "--out", path("utc.csv")},
                              environment());
    const std::int64_t after = nowUtcMs();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    expectRecorded(path("utc.csv"), run.out, 4);
    std::istringstream out(run.out);
    std::string line;
    ASSERT_TRUE(std::getline(out, line));
    EXPECT_EQ(line, recording::kTimestampedCsvHeader);
    std::string file = fileText(path("utc.csv"));
    file.erase(std::remove(file.begin(), file.end(), '\r'), file.end());
    EXPECT_EQ(file, run.out);
    std::int64_t last = before;
    while (std::getline(out, line)) {
        const auto utcMs = recording::parseUtcText(line.substr(0, line.find(',')));
        ASSERT_TRUE(utcMs) << line;
        EXPECT_GE(*utcMs, last) << line;
        last = *utcMs;
    }
    EXPECT_LE(last, after);
}

// On a noisy line (noise before half the telegrams, often glued to them) every start gets
// through the set-up, and every reading recorded is one the counter sent, in order.
TEST_F(RecordCli, ANoisyLineNeitherEndsTheSetUpNorPutsNoiseIntoTheReadings) {
    for (const char* seed : {"1", "2", "3", "4", "5"}) {
        SCOPED_TRACE(seed);
        ASSERT_TRUE(startCounter({"--burst", "10", "--garbage", "0.5", "--seed", seed}));
        const CliRun run =
            runCli({"record", "--port", counter_->comName, "--count", "20", "--out", path("n.dat")},
                   environment());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.err.empty() ||
                    (run.err.find(" of line noise on " + counter_->comName) != std::string::npos &&
                     std::count(run.err.begin(), run.err.end(), '\n') == 1))
            << run.err;
        const recording::MeasurementFile recorded = recording::readMeasurementFile(path("n.dat"));
        ASSERT_EQ(recorded.readings.size(), 20u);
        const auto sent = counter_->sentReadings();
        auto next = sent.begin();
        for (const recording::MeasurementPoint& reading : recorded.readings) {
            next = std::find_if(next, sent.end(), [&](const SentTelegram& s) {
                return s.value && std::abs(*s.value - reading.value) <= 1e-14 * reading.value;
            });
            ASSERT_NE(next, sent.end()) << reading.value << " was never sent";
            ++next;
        }
        counter_->stop();
    }
}

TEST_F(RecordCli, AStopSignalMidRunWritesTheWholeFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(startCounter({}));
        talvek::test::ChildProcess record;
        ASSERT_TRUE(record.start(TALVEK_CLI,
                                 {"record", "--port", counter_->comName, "--out", path("run.dat")},
                                 environment()));
        std::string output;
        for (int wait = 0; wait < 100 && readingLines(output).size() < 5; ++wait) {
            output += record.readOutput(100);
        }
        ASSERT_GE(readingLines(output).size(), 5u);
        record.signal(signal);
        ASSERT_TRUE(record.waitFinished(5000));
        EXPECT_EQ(record.exitCode(), 0);
        output += record.readOutput();
        expectRecorded(path("run.dat"), output, readingLines(output).size());
        counter_->stop();
    }
}

TEST_F(RecordCli, FailuresEndWithTheirStatusAndOneLine) {
    ASSERT_TRUE(startCounter({}));
    const int holder = ::open(counter_->device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    const CliRun busy = runCli({"record", "--port", counter_->comName}, environment());
    ::close(holder);
    const CliRun noPort = runCli({"record", "--port", "COM77"}, environment());
    const CliRun badOut = runCli({"record", "--port", "COM77", "--out", "run.txt"}, environment());
    const CliRun utcDat =
        runCli({"record", "--port", "COM77", "--time", "utc", "--out", "run.dat"}, environment());
    // A link where the journal goes, to a file that is not there yet: nothing is written through
    // it, and the run does not start.
    std::filesystem::create_symlink(path("victim"), path("linked.tvj"));
    const CliRun linked =
        runCli({"record", "--port", counter_->comName, "--count", "2", "--out", path("linked.dat")},
               environment());
    EXPECT_FALSE(std::filesystem::exists(path("victim")));
    const struct {
        const char* what;
        const CliRun& run;
        int exitCode;
        const char* says;
    } cases[] = {
        {"busy port", busy, 5, "is in use by"},
        {"no such port", noPort, 5, "there is no port COM77"},
        {"bad file name", badOut, 2, "--out"},
        {"UTC times into a .dat", utcDat, 2, "--time utc writes a timestamped CSV"},
        {"link as the journal", linked, 7, "linked.tvj is a link"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.run.exitCode, c.exitCode) << c.what << ": " << c.run.err;
        EXPECT_NE(c.run.err.find(c.says), std::string::npos) << c.what << ": " << c.run.err;
        EXPECT_EQ(std::count(c.run.err.begin(), c.run.err.end(), '\n'), 1) << c.what;
    }
}

// A file that reaches the size limit (as a full disk would) is a write error like any other:
// exit status 7, one line with the system's cause, and it says truly where the readings are.
TEST_F(RecordCli, AFileThatCannotBeWrittenEndsWith7AndSaysWhereTheReadingsAre) {
    const struct {
        const char* blocks; // of 512 bytes: the .dat of 200 readings takes 3.2 to 3.3 kB, their
                            // journal 2.2 to 2.9 kB (more where arrival times are not whole ms)
        bool journalWhole;
    } cases[] = {{"6", true}, {"2", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocks);
        ASSERT_TRUE(startCounter({"--burst", "10"}));
        std::filesystem::remove(path("run.tvj"));
        const CliRun run = talvek::test::runProgram(
            "/bin/sh",
            {"-c", std::string("ulimit -f ") + c.blocks + " && exec \"$0\" \"$@\"", TALVEK_CLI,
             "record", "--port", counter_->comName, "--count", "200", "--out", path("run.dat")},
            environment());
        EXPECT_EQ(run.exitCode, 7) << run.err;
        EXPECT_EQ(readingLines(run.out).size(), 200u);
        std::uint64_t journalled = 0;
        recording::readJournal(path("run.tvj"), [&](const recording::JournalRecord& record) {
            journalled += record.kind == recording::JournalRecordKind::Reading;
        });
        const std::string failure =
            "talvek-cli: cannot write " + path("run.dat") + ": File too large; " +
            (c.journalWhole ? "the readings are in the journal " + path("run.tvj")
                            : "the journal " + path("run.tvj") + " holds only the first " +
                                  std::to_string(journalled) +
                                  " of the 200 readings, standard output had all 200") +
            "\n";
        if (c.journalWhole) {
            EXPECT_EQ(journalled, 200u);
            EXPECT_EQ(run.err, failure);
        } else {
            EXPECT_GT(journalled, 0u);
            EXPECT_LT(journalled, 200u);
            EXPECT_NE(run.err.find("the journal " + path("run.tvj") + " stopped: "),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), failure);
        }
        counter_->stop();
    }
}

TEST_F(RecordCli, AnUnpluggedCounterIsWaitedForAndRecordedOnWhenItIsBack) {
    ASSERT_TRUE(startCounter({"--unplug-after", "1500"}));
    const std::string com = counter_->comName;
    // --duration ends the run should the counter never be seen again.
    auto recording = std::async(std::launch::async, [&] {
        return runCli({"record", "--port", com, "--count", "30", "--duration", "40", "--out",
                       path("run.dat"), "--journal", path("run.tvj")},
                      environment());
    });
    ASSERT_TRUE(counter_->waitFinished(8000));
    const auto beforeLoss = counter_->sentReadings();
    // Plugged in again under its COM name, idle: it has to be set up and started anew.
    ASSERT_TRUE(startCounter({"--com", QString::fromStdString(com.substr(3))}, "again.log"));
    const CliRun run = recording.get();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.rfind("talvek-cli: Serial device " + com +
                                " lost; waiting for it to come back\n"
                                "talvek-cli: Serial device " +
                                com + " reconnected; ",
                            0),
              0u)
        << run.err;

    // The readings of the first counter up to the pull (the last ones sent may have been lost on
    // the line), then those of the second, in order, and time going on across the gap.
    const recording::MeasurementFile recorded = recording::readMeasurementFile(path("run.dat"));
    ASSERT_EQ(recorded.readings.size(), 30u);
    EXPECT_EQ(readingLines(run.out).size(), 30u);
    const auto afterReplug = counter_->sentReadings();
    const auto same = [](double recorded, const SentTelegram& sent) {
        return sent.value && std::abs(recorded - *sent.value) <= 1e-14 * *sent.value;
    };
    std::size_t first = 0;
    while (first < 30 && first < beforeLoss.size() &&
           same(recorded.readings[first].value, beforeLoss[first])) {
        ++first;
    }
    EXPECT_GT(first, 0u);
    ASSERT_GE(afterReplug.size(), 30 - first);
    for (std::size_t i = 0; i < 30; ++i) {
        if (i >= first) {
            EXPECT_TRUE(same(recorded.readings[i].value, afterReplug[i - first])) << i;
        }
        if (i > 0) {
            EXPECT_GT(recorded.readings[i].timeMs, recorded.readings[i - 1].timeMs) << i;
        }
    }

    // The journal holds the reconnect as a gap before the first reading after it, and the
    // analysis of the journal splits the series there.
    std::vector<recording::JournalRecordKind> kinds;
    recording::readJournal(path("run.tvj"), [&](const recording::JournalRecord& record) {
        if (record.kind != recording::JournalRecordKind::Status) {
            kinds.push_back(record.kind);
        }
    });
    const auto gap = std::find(kinds.begin(), kinds.end(), recording::JournalRecordKind::Gap);
    ASSERT_NE(gap, kinds.end());
    EXPECT_EQ(gap - kinds.begin(), static_cast<std::ptrdiff_t>(first));
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), recording::JournalRecordKind::Gap), 1);
    const CliRun analysed = runCli({"stability", path("run.tvj")});
    EXPECT_EQ(analysed.exitCode, 0) << analysed.err;
    EXPECT_NE(analysed.out.find(", 1 recorded gap\n"), std::string::npos) << analysed.out;
    EXPECT_NE(analysed.out.find(" usable, in 2 gap-free segments\n"), std::string::npos)
        << analysed.out;
}

// The time-interval counter takes no set-up: its lines are recorded as phase readings, on its port
// named by the device node as well as by the COM name, and journalled as such.
TEST_F(RecordCli, ATimeIntervalCounterIsRecordedAsPhase) {
    counter_ = std::make_unique<VirtualCounter>(home_.path().toStdString(), path("tic.log"));
    ASSERT_TRUE(counter_->start({"--instrument", "tic", "--gate", "0.1", "--seed", "9"}));
    const CliRun run =
        runCli({"record", "--instrument", "tic", "--port", counter_->device, "--count", "8",
                "--out", path("tic.dat"), "--journal", path("tic.tvj")},
               environment());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const recording::MeasurementFile recorded = recording::readMeasurementFile(path("tic.dat"));
    ASSERT_EQ(recorded.readings.size(), 8u);
    const auto sent = counter_->sentReadings();
    const auto first = std::find_if(sent.begin(), sent.end(), [&](const SentTelegram& s) {
        return s.value && std::abs(*s.value - recorded.readings[0].value) < 1e-20;
    });
    ASSERT_NE(first, sent.end()) << "the first reading recorded was sent";
    ASSERT_GE(sent.end() - first, 8);
    for (std::size_t i = 0; i < 8; ++i) {
        // The file keeps 15 significant digits of the phase.
        EXPECT_NEAR(recorded.readings[i].value, *first[static_cast<std::ptrdiff_t>(i)].value,
                    1e-14 * std::abs(recorded.readings[i].value))
            << i;
    }
    std::vector<double> journalled;
    const recording::JournalReadResult journal =
        recording::readJournal(path("tic.tvj"), [&](const recording::JournalRecord& record) {
            if (record.kind == recording::JournalRecordKind::PhaseReading) {
                journalled.push_back(record.value);
            }
        });
    EXPECT_EQ(journal.header.instrument, "tic");
    ASSERT_EQ(journalled.size(), 8u);
    EXPECT_EQ(journalled[0], *first->value) << "the journal keeps every digit";

    const CliRun setUp =
        runCli({"record", "--instrument", "tic", "--port", counter_->comName, "--gate", "1"},
               environment());
    EXPECT_EQ(setUp.exitCode, 2);
    EXPECT_NE(setUp.err.find("takes no --gate"), std::string::npos) << setUp.err;
}

} // namespace
