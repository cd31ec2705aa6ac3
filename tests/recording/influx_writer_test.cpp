// SPDX-License-Identifier: GPL-3.0-or-later
// The writer against a stand-in database on a loopback port: what it sends from a journal that
// grows, and how it holds its place while the database does not answer or fails.
#include "recording/influx_writer.h"
#include "recording/journal_writer.h"
#include "tests/support/fake_database.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using talvek::test::FakeDatabase;

struct Told {
    std::mutex mutex;
    std::vector<std::string> failures;
    int recoveries = 0;
};

std::size_t lineCount(const std::string& body) {
    return static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
}

TEST(InfluxWriter, HoldsItsBatchWhileTheDatabaseFailsAndGoesOnFromThereWhenItAnswers) {
    QTemporaryDir folder;
    const std::string journalPath = folder.filePath("run.tvj").toStdString();
    auto journal = std::make_unique<recording::JournalWriter>(
        platform::UniqueFd(
            ::open(journalPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)),
        journalPath, recording::JournalHeader{45000.5, "COM20", "kelvo"});
    journal->appendStatus(5, "OK");
    for (int i = 1; i <= 3; ++i) {
        journal->appendReading(100 * i, 1e7 + i, "Hz", "1000000" + std::to_string(i));
    }
    journal->flush();

    // The first write gets no answer at all, the next a server error, then they are taken.
    FakeDatabase database({0, 503});
    std::string error;
    const auto target = recording::influxTarget(
        {"http://127.0.0.1:" + std::to_string(database.port()), "", "b", "o", "t0k", {}}, error);
    ASSERT_TRUE(target) << error;
    Told told;
    recording::InfluxWriter::Reports reports{[&told](const std::string& why) {
                                                 const std::lock_guard lock(told.mutex);
                                                 told.failures.push_back(why);
                                             },
                                             [&told] {
                                                 const std::lock_guard lock(told.mutex);
                                                 ++told.recoveries;
                                             }};
    recording::InfluxWriter writer(*target, journalPath,
                                   recording::InfluxPoints({{"port", "COM20"}}, 0), reports,
                                   {.pollInterval = 10ms,
                                    .requestTimeout = 300ms,
                                    .firstRetry = 20ms,
                                    .longestRetry = 100ms,
                                    .batchPoints = 5000});

    // What comes meanwhile waits in the journal until the batch before it was taken.
    ASSERT_TRUE(database.waitRequests(1));
    journal->appendReading(400, 1e7 + 4, "Hz", "10000004");
    journal->appendGap({400, 525, recording::GapCause::LostTelegrams, 2});
    journal->appendReading(525, 1e7 + 5, "Hz", "10000005");
    journal->close();
    writer.finishJournal();
    EXPECT_TRUE(writer.waitSent(20s));

    const std::vector<FakeDatabase::Request> requests = database.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (const FakeDatabase::Request& request : requests) {
        EXPECT_EQ(
            request.head.rfind("POST /api/v2/write?org=o&bucket=b&precision=ns HTTP/1.1\r\n", 0),
            0u)
            << request.head;
        EXPECT_NE(request.head.find("\r\nAuthorization: Token t0k\r\n"), std::string::npos);
    }
    EXPECT_EQ(lineCount(requests[0].body), 4u) << requests[0].body;
    EXPECT_EQ(requests[1].body, requests[0].body);
    EXPECT_EQ(requests[2].body, requests[0].body);
    EXPECT_EQ(requests[3].body, "talvek,port=COM20,quantity=frequency kind=\"reading\","
                                "value=10000004 400000000\n"
                                "talvek,port=COM20 kind=\"gap\",seconds=0.125 400500000\n"
                                "talvek,port=COM20,quantity=frequency kind=\"reading\","
                                "value=10000005 525000000\n");
    EXPECT_EQ(writer.readingsSent(), 5u);
    const std::lock_guard lock(told.mutex);
    ASSERT_EQ(told.failures.size(), 1u);
    EXPECT_EQ(told.failures[0], "no answer within 0.3 s");
    EXPECT_EQ(told.recoveries, 1);
}

} // namespace
