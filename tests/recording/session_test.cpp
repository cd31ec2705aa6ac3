// SPDX-License-Identifier: GPL-3.0-or-later
// The recording session on a scripted KELVO: the set-up step by step, what ends it, what the
// journal keeps, and what stopping sends.
#include "recording/session.h"

#include "counter/kelvo_profile.h"
#include "platform/port_catalog.h"
#include "platform/port_links.h"
#include "recording/journal_reader.h"
#include "serial/serial_port.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/scripted_counter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using talvek::test::pumpUntil;
using talvek::test::ScriptedCounter;
using namespace std::chrono_literals;

namespace {

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        const std::string none = home.filePath("none").toStdString();
        platform::installSystemPortCatalog(
            std::make_shared<platform::PortCatalog>(platform::MachineFolders{none, none, none}));
        peer = std::make_unique<ScriptedCounter>(platform::userPortLinkFolder(), 9);
        peer->answer("I", "kelvo FC-1");
        QObject::connect(&session, &recording::Session::setupFinished, [this] { ready = true; });
        QObject::connect(&session, &recording::Session::setupFailed,
                         [this](const std::string& why) { failure = why; });
        QObject::connect(
            &session, &recording::Session::readingReceived,
            [this](const counter::Reading&, double timeMs) { times.push_back(timeMs); });
    }

    recording::SessionPlan plan(std::vector<recording::SetupStep> setup) const {
        recording::SessionPlan plan;
        plan.port = "COM9";
        plan.setup = std::move(setup);
        plan.start = counter::findCommand(kelvo, counter::SetupRole::Start);
        plan.journal = recording::SessionPlan::Journal::AtPath;
        plan.journalPath = journalPath();
        return plan;
    }
    recording::SetupStep step(counter::SetupRole role, std::string_view setting,
                              const std::string& what) const {
        return {what, counter::findCommand(kelvo, role, setting), {}};
    }
    std::string journalPath() const { return home.filePath("run.tvj").toStdString(); }

    QTemporaryDir home;
    const counter::KelvoProfile kelvo;
    std::unique_ptr<ScriptedCounter> peer;
    recording::Session session{kelvo, recording::JournalFolder({})};
    bool ready = false;
    std::string failure;
    std::vector<double> times;
};

TEST_F(SessionTest, StepsGoOutOneAfterTheOtherEachOnceTheOneBeforeWasAnswered) {
    peer->answer("x", "OK");
    peer->answer("T", "OK");
    session.start(plan({step(counter::SetupRole::Stop, {}, "the stop"),
                        step(counter::SetupRole::Gate, "1", "--gate 1")}));
    ASSERT_TRUE(pumpUntil([&] { return ready || !failure.empty(); }, 10s)) << failure;
    EXPECT_TRUE(failure.empty()) << failure;
    EXPECT_EQ(peer->waitForBytes(12, 3s), "\x1bI\r\x1bx\r\x1bT\r\x1br\r");

    peer->send("10000000.5");
    ASSERT_TRUE(pumpUntil([&] { return !times.empty(); }, 3s));
    EXPECT_GE(times[0], 0);
    EXPECT_LT(times[0], 10000);
    peer->clearReceived();
    EXPECT_TRUE(session.stop());
    EXPECT_EQ(peer->waitForBytes(3, 3s), "\x1bx\r") << "the measurement it started is stopped";

    std::vector<recording::JournalRecordKind> kinds;
    std::vector<double> journalTimes;
    const auto read = recording::readJournal(journalPath(), [&](const recording::JournalRecord& r) {
        kinds.push_back(r.kind);
        if (r.kind == recording::JournalRecordKind::Reading) {
            journalTimes.push_back(r.timeMs);
        }
    });
    EXPECT_EQ(read.header.port, "COM9");
    EXPECT_EQ(read.header.instrument, "kelvo");
    using Kind = recording::JournalRecordKind;
    EXPECT_EQ(kinds,
              (std::vector<Kind>{Kind::Status, Kind::Status, Kind::Reading, Kind::Disconnect}))
        << "the replies to the set-up, the reading and the end";
    EXPECT_EQ(journalTimes, times) << "the journal and the subscribers see the same times";
}

// Telegrams the line lost and a reconnect each become a gap: told before the first reading after
// it, and in the journal at that place, from the reading before the loss to the one after it, and
// from the device's going to its return.
TEST_F(SessionTest, LostTelegramsAndAReconnectAreGapsInTheJournal) {
    std::vector<recording::Gap> told;
    std::vector<std::size_t> toldBeforeReading;
    QObject::connect(&session, &recording::Session::gapFound, [&](const recording::Gap& gap) {
        told.push_back(gap);
        toldBeforeReading.push_back(times.size());
    });
    session.start(plan({}));
    ASSERT_TRUE(pumpUntil([&] { return ready; }, 10s));
    peer->send("10000000.5");
    ASSERT_TRUE(pumpUntil([&] { return times.size() == 1; }, 3s));
    auto* port = session.driver().findChild<serial::SerialPort*>();
    ASSERT_NE(port, nullptr);
    emit port->telegramsDropped(3);
    emit port->telegramsDropped(2);
    EXPECT_TRUE(told.empty()) << "the gap ends with the next reading";
    peer->send("10000000.6");
    ASSERT_TRUE(pumpUntil([&] { return times.size() == 2; }, 3s));
    peer->unplug();
    ASSERT_TRUE(pumpUntil([&] { return session.awaitingDevice(); }, 10s));
    peer.reset();
    peer = std::make_unique<ScriptedCounter>(platform::userPortLinkFolder(), 9);
    peer->answer("I", "kelvo FC-1");
    ASSERT_TRUE(pumpUntil([&] { return told.size() == 2; }, 10s));
    peer->send("10000000.7");
    ASSERT_TRUE(pumpUntil([&] { return times.size() == 3; }, 3s));
    EXPECT_TRUE(session.stop());

    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(toldBeforeReading, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(told[0].cause, recording::GapCause::LostTelegrams);
    EXPECT_EQ(told[0].lostTelegrams, 5u);
    EXPECT_EQ(told[0].startMs, times[0]);
    EXPECT_EQ(told[0].endMs, times[1]);
    EXPECT_EQ(told[1].cause, recording::GapCause::Reconnect);
    EXPECT_GE(told[1].startMs, times[1]);
    EXPECT_GT(told[1].endMs, told[1].startMs);
    EXPECT_LE(told[1].endMs, times[2]);

    using Kind = recording::JournalRecordKind;
    std::vector<Kind> kinds;
    std::vector<recording::Gap> written;
    recording::readJournal(journalPath(), [&](const recording::JournalRecord& r) {
        if (r.kind != Kind::Status) {
            kinds.push_back(r.kind);
        }
        if (r.kind == Kind::Gap) {
            written.push_back(r.gap);
        }
    });
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Reading, Kind::Gap, Kind::Reading, Kind::Gap,
                                        Kind::Reading, Kind::Disconnect}));
    ASSERT_EQ(written.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(written[i].startMs, told[i].startMs) << i;
        EXPECT_EQ(written[i].endMs, told[i].endMs) << i;
        EXPECT_EQ(written[i].cause, told[i].cause) << i;
        EXPECT_EQ(written[i].lostTelegrams, told[i].lostTelegrams) << i;
    }
}

TEST_F(SessionTest, AStepRefusedOrNotAnsweredEndsTheSetUpWithItsReason) {
    const struct {
        const char* reply; // to the gate command; empty: none
        const char* says;
    } cases[] = {
        {"?", "the counter refused --gate 0.1 (it answered '?')"},
        {"ERR", "the counter refused --gate 0.1 (it answered 'ERR')"},
        {"", "the counter on COM9 did not answer --gate 0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        failure.clear();
        peer->answer("t", c.reply);
        session.start(plan({step(counter::SetupRole::Gate, "0.1", "--gate 0.1")}));
        ASSERT_TRUE(pumpUntil([&] { return !failure.empty(); }, 10s));
        EXPECT_EQ(failure, c.says);
        EXPECT_FALSE(ready);
        session.stop();
        session.journal().discard();
    }
}

TEST_F(SessionTest, WithoutASetUpReadingsCountFromTheConnectAndStoppingSendsNothing) {
    recording::SessionPlan bare = plan({});
    bare.start = nullptr;
    bare.journal = recording::SessionPlan::Journal::None;
    session.start(bare);
    ASSERT_TRUE(pumpUntil([&] { return ready; }, 10s));
    peer->send("10000000.5");
    ASSERT_TRUE(pumpUntil([&] { return !times.empty(); }, 3s));
    session.stop();
    EXPECT_EQ(peer->received(), "\x1bI\r");
    EXPECT_EQ(session.journal().path(), "");
}

} // namespace
