// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"
#include "recording/journal_writer.h"
#include "tests/recording/journal_records.h"

#include <QTemporaryDir>
#include <charconv>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/resource.h>
#include <thread>

namespace {

using recording::JournalWriter;

const recording::JournalHeader kHeader{45123.25, "COM7"};

OwnedRecord hertzReading(int i) {
    char telegram[32];
    const double value = 10000000.0 + (i * 37 % 1000) / 100.0;
    const auto end =
        std::to_chars(telegram, telegram + sizeof telegram, value, std::chars_format::fixed, 2).ptr;
    double parsed = 0;
    std::from_chars(telegram, end, parsed);
    return {recording::JournalRecordKind::Reading, 100.0 * i, parsed, "Hz",
            std::string(telegram, end)};
}

std::vector<OwnedRecord> hertzReadings(int count) {
    std::vector<OwnedRecord> records;
    for (int i = 0; i < count; ++i) {
        records.push_back(hertzReading(i));
    }
    return records;
}

void append(JournalWriter& writer, const OwnedRecord& r) {
    switch (r.kind) {
    case recording::JournalRecordKind::Reading:
        writer.appendReading(r.timeMs, r.value, r.unit, r.telegram);
        break;
    case recording::JournalRecordKind::PhaseReading:
        writer.appendPhaseReading(r.timeMs, r.value, r.telegram);
        break;
    case recording::JournalRecordKind::Status:
        writer.appendStatus(r.timeMs, r.telegram);
        break;
    case recording::JournalRecordKind::Disconnect:
        writer.appendDisconnect(r.timeMs);
        break;
    case recording::JournalRecordKind::Gap:
        writer.appendGap(r.gap);
        break;
    }
}

// The failure messages the writer hands over, from its own thread.
struct Failures {
    JournalWriter::FailureHandler handler() {
        return [this](const std::string& message) {
            const std::lock_guard lock(mutex);
            messages.push_back(message);
        };
    }
    std::mutex mutex;
    std::vector<std::string> messages;
};

// A new, empty file for a writer, made as the journal's owner makes it.
platform::UniqueFd newFile(const std::string& path) {
    return platform::UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
}

bool isPrefixOf(const std::vector<OwnedRecord>& part, const std::vector<OwnedRecord>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

class JournalWriterTest : public ::testing::Test {
protected:
    std::string path(const QString& name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
    Failures failures;
};

TEST_F(JournalWriterTest, EveryAppendedRecordReachesTheFile) {
    std::vector<OwnedRecord> records = hertzReadings(200000);
    records.insert(
        records.begin() + 5000,
        {recording::JournalRecordKind::Status, 500000, 0, {}, "kelvo FC-3000 firmware 2.1"});
    records.insert(records.begin() + 7000,
                   gapRecord(699900, 700000.5, recording::GapCause::LostTelegrams, 12345678901));
    records.insert(records.begin() + 9000,
                   gapRecord(899800.25, 899900, recording::GapCause::Reconnect, 0));
    records.push_back({recording::JournalRecordKind::Disconnect, 2e7, 0, {}, {}});
    JournalWriter writer(newFile(path("many.journal")), path("many.journal"), kHeader,
                         failures.handler());
    for (const OwnedRecord& r : records) {
        append(writer, r);
    }
    EXPECT_TRUE(writer.close());
    const DecodedJournal read = readJournalFile(path("many.journal"));
    EXPECT_EQ(read.header.port, kHeader.port);
    EXPECT_EQ(read.header.startTime, kHeader.startTime);
    EXPECT_EQ(read.records, records);
    EXPECT_EQ(recording::journalReportText(read.report), "");
    EXPECT_TRUE(read.report.disconnected);
    EXPECT_TRUE(failures.messages.empty());
}

// Without close or flush, the records are on the disk within a second: what a power cut loses.
TEST_F(JournalWriterTest, RecordsReachTheFileWithinASecond) {
    JournalWriter writer(newFile(path("live.journal")), path("live.journal"), kHeader,
                         failures.handler());
    const std::vector<OwnedRecord> records = hertzReadings(5);
    const std::int64_t start = platform::monotonicMs();
    for (const OwnedRecord& r : records) {
        append(writer, r);
    }
    DecodedJournal read;
    while (read.records.size() < records.size() && platform::monotonicMs() - start < 3000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        read = readJournalFile(path("live.journal"));
    }
    EXPECT_LT(platform::monotonicMs() - start, 1000);
    EXPECT_EQ(read.records, records);
}

TEST_F(JournalWriterTest, FlushWritesWithoutWaitingForTheInterval) {
    JournalWriter::Options options;
    options.flushInterval = std::chrono::hours(1);
    JournalWriter writer(newFile(path("flushed.journal")), path("flushed.journal"), kHeader,
                         failures.handler(), options);
    const std::vector<OwnedRecord> records = hertzReadings(3);
    for (const OwnedRecord& r : records) {
        append(writer, r);
    }
    writer.flush();
    DecodedJournal read;
    for (int i = 0; i < 250 && read.records.size() < records.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        read = readJournalFile(path("flushed.journal"));
    }
    EXPECT_EQ(read.records, records);
}

TEST_F(JournalWriterTest, AJournalThatCannotBeWrittenIsReportedOnce) {
    JournalWriter writer(platform::UniqueFd(::open("/dev/full", O_WRONLY | O_CLOEXEC)), "/dev/full",
                         kHeader, failures.handler());
    for (const OwnedRecord& r : hertzReadings(1000)) {
        append(writer, r);
    }
    EXPECT_FALSE(writer.close());
    EXPECT_TRUE(writer.failed());
    ASSERT_EQ(failures.messages.size(), 1u);
    EXPECT_EQ(failures.messages[0], writer.failure());
    EXPECT_NE(failures.messages[0].find("/dev/full: No space left on device"), std::string::npos)
        << failures.messages[0];
    EXPECT_EQ(writer.readingsWritten(), 0u);
}

// The file size limit stands in for a disk that fills up while the journal runs.
TEST_F(JournalWriterTest, DiskFillingUpKeepsWhatWasWrittenBefore) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    const std::vector<OwnedRecord> records = hertzReadings(20000);
    JournalWriter::Options options;
    options.flushInterval = std::chrono::milliseconds(5);
    JournalWriter writer(newFile(path("full.journal")), path("full.journal"), kHeader,
                         failures.handler(), options);
    for (std::size_t i = 0; i < records.size(); ++i) {
        append(writer, records[i]);
        if (i % 1000 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_FALSE(writer.close());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(failures.messages.size(), 1u);
    EXPECT_NE(failures.messages[0].find("File too large"), std::string::npos);
    const DecodedJournal read = readJournalFile(path("full.journal"));
    EXPECT_GT(read.records.size(), 1000u);
    EXPECT_TRUE(isPrefixOf(read.records, records));
    EXPECT_EQ(read.report.skippedRecords, 0u);
}

// A disk too slow for the readings overruns the queue: the journal ends after what was queued
// and the memory it holds stays bounded.
TEST_F(JournalWriterTest, QueueOverrunEndsTheJournalAfterWhatWasQueued) {
    JournalWriter::Options options;
    options.flushInterval = std::chrono::hours(1);
    options.queueLimitBytes = 4096;
    JournalWriter writer(newFile(path("overrun.journal")), path("overrun.journal"), kHeader,
                         failures.handler(), options);
    const std::vector<OwnedRecord> records = hertzReadings(1000);
    for (const OwnedRecord& r : records) {
        append(writer, r);
    }
    EXPECT_FALSE(writer.close());
    ASSERT_EQ(failures.messages.size(), 1u);
    EXPECT_NE(failures.messages[0].find("cannot keep up"), std::string::npos);
    const DecodedJournal read = readJournalFile(path("overrun.journal"));
    EXPECT_GT(read.records.size(), 10u);
    EXPECT_LT(read.records.size(), 200u);
    EXPECT_TRUE(isPrefixOf(read.records, records));
    EXPECT_EQ(recording::journalReportText(read.report), "");
}

} // namespace
