// Faults on the line, injected by the virtual counter: the window keeps turning, never crashes,
// and logs every well-formed reading exactly once, in order.

#include "tests/e2e/e2e_fixture.h"

#include "counter/kelvo_counter.h"
#include "serial/my_com_port.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

// Generous: a loaded two-core machine runs several test programs at once.
constexpr qint64 StallBoundMs = 1500;

class FaultsTest : public EndToEndTest {
protected:
    // Starts a counter with the fault options, connects the window to it and measures
    // continuously until the counter stops (by --count) or `measureMs` passed.
    TVirtualCounter& RunContinuous(QStringList options, int measureMs) {
        options << "--start"
                << "idle"
                << "--gate"
                << "0.1"
                << "--seed"
                << "3";
        TVirtualCounter& counter = StartCounter(options, "sent.log");
        OpenWindow();
        PickPort(counter.Com);
        PressConnect();
        EXPECT_TRUE(Form->counter().isConnected()) << Caption();
        Silences = std::make_unique<QSignalSpy>(Form->counter().findChild<TMyComPort*>(),
                                                &TMyComPort::silence);
        Command({"Measure", "continuous"});
        QTest::qWait(measureMs);
        return counter;
    }

    void ExpectAllReadingsOnce(const TVirtualCounter& counter, bool delimited = true,
                               int drainMs = 30000) {
        WaitCaughtUp(counter, drainMs);
        const std::vector<TSentTelegram> sent = counter.Sent();
        const std::vector<TLoggedReading> logged = LoggedReadings();
        EXPECT_EQ(CompareReadings(sent, logged, delimited, InFlightAtUnplug(sent)), "");
        for (std::size_t i = 1; i < logged.size(); ++i) {
            ASSERT_GE(logged[i].TimeMs, logged[i - 1].TimeMs) << i;
        }
    }

    // The first telegram that may still have been in the cable when it was pulled.
    static std::size_t InFlightAtUnplug(const std::vector<TSentTelegram>& sent) {
        if (sent.empty() || sent.back().Kind != "unplug") {
            return SIZE_MAX;
        }
        std::size_t first = sent.size() - 1;
        while (first > 0 && sent[first - 1].Seconds > sent.back().Seconds - 0.1) {
            --first;
        }
        return first;
    }

    // The silences the serial port reported to the driver since the measurement began.
    std::unique_ptr<QSignalSpy> Silences;

    void Report(const char* fault, const TStallMeter& stalls) {
        std::printf("[ e2e ] %s: %d readings in the log, longest event-loop stall %lld ms\n", fault,
                    LogCount(), static_cast<long long>(stalls.LongestMs()));
        EXPECT_LT(stalls.LongestMs(), StallBoundMs);
    }
};

TEST_F(FaultsTest, GarbageAndControlCharactersBetweenTelegrams) {
    TStallMeter stalls;
    TVirtualCounter& counter =
        RunContinuous({"--garbage", "0.4", "--format", "hertz", "--count", "40"}, 4000);
    ExpectAllReadingsOnce(counter);
    EXPECT_GT(LogCount(), 10);
    Report("garbage", stalls);
}

TEST_F(FaultsTest, GarbageInFrontOfDisplayDumps) {
    TStallMeter stalls;
    TVirtualCounter& counter = RunContinuous({"--garbage", "0.4", "--count", "40"}, 4000);
    ExpectAllReadingsOnce(counter);
    EXPECT_GT(LogCount(), 10);
    Report("garbage before dumps", stalls);
}

TEST_F(FaultsTest, TelegramsSplitAcrossWrites) {
    TStallMeter stalls;
    TVirtualCounter& counter = RunContinuous({"--split", "--count", "30"}, 3000);
    ExpectAllReadingsOnce(counter);
    EXPECT_EQ(counter.SentReadings().size(), 30u);
    EXPECT_EQ(LogCount(), 30);
    Report("split", stalls);
}

TEST_F(FaultsTest, LineWithoutDelimiterLogsNothingAndStaysResponsive) {
    TStallMeter stalls;
    TVirtualCounter& counter =
        RunContinuous({"--no-delimiter", "--format", "hertz", "--count", "60"}, 6000);
    ExpectAllReadingsOnce(counter, false);
    EXPECT_GT(counter.SentReadings().size(), 20u);
    // The user can still disconnect and close.
    PressConnect();
    EXPECT_FALSE(Form->counter().isConnected());
    EXPECT_TRUE(Form->close());
    Report("no delimiter", stalls);
}

TEST_F(FaultsTest, SilenceLongerThanTheTimeOut) {
    TStallMeter stalls;
    TVirtualCounter& counter = RunContinuous({"--silence", "3500", "--count", "25"}, 6500);
    ExpectAllReadingsOnce(counter);
    EXPECT_EQ(LogCount(), 25);
    // The receive thread keeps the first time-out after opening to itself; the second one of the
    // silence reaches the driver.
    EXPECT_GE(Silences->count(), 1);
    Report("silence", stalls);
}

// Ten times the line rate, reading after reading, for a minute; then the user stops the
// measurement. The receive thread reads on while the window takes what it queued in batches, so
// the window keeps up with the flood instead of draining it for minutes; nothing may be lost.
TEST_F(FaultsTest, BurstAtTenTimesLineRateForAMinute) {
    TStallMeter stalls;
    TVirtualCounter& counter = RunContinuous({"--burst", "10", "--format", "hertz"}, 60000);
    Command({"Measure", "stop"});
    ExpectAllReadingsOnce(counter, true, 240000);
    const std::vector<TSentTelegram> sent = counter.SentReadings();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(LogCount(), static_cast<int>(sent.size()));
    // The line rate of Hertz values is some 74 a second.
    EXPECT_GT(sent.size(), 3000u) << "a flood, not a trickle";
    std::printf("[ e2e ] burst: %zu readings sent in %.1f s\n", sent.size(),
                sent.back().Seconds - sent.front().Seconds);
    Report("burst", stalls);
}

TEST_F(FaultsTest, UnplugIsReportedAndReconnectingWorks) {
    TStallMeter stalls;
    TVirtualCounter& counter = RunContinuous({"--unplug-after", "3000"}, 0);
    const std::string com = counter.Com;
    ASSERT_TRUE(WaitFor([&] { return !counter.Running(); }, 8000));
    const std::string gone =
        "Serial device " + com + " is gone (unplugged?). Disconnect and connect again.";
    EXPECT_TRUE(WaitFor([&] { return Form->statusText() == gone; })) << Form->statusText();
    ExpectAllReadingsOnce(counter);
    EXPECT_GT(LogCount(), 5);

    PressConnect(); // disconnect
    EXPECT_FALSE(Form->counter().isConnected());
    EXPECT_EQ(Form->statusText(), "");

    // The adapter is plugged in again under the same COM name.
    TVirtualCounter& again = StartCounter(
        {"--com", QString::fromStdString(com.substr(3)), "--start", "idle"}, "sent-again.log");
    ASSERT_EQ(again.Com, com);
    PressConnect();
    EXPECT_TRUE(Form->counter().isConnected());
    EXPECT_EQ(Caption(), "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + com);
    Command({"Measure", "single"});
    EXPECT_TRUE(WaitFor([&] { return LogCount() == 1; }));
    ExpectAllReadingsOnce(again);
    Report("unplug", stalls);
}

TEST_F(FaultsTest, CounterPluggedInAgainIsReconnectedWithoutTheUser) {
    TVirtualCounter& counter = RunContinuous({"--unplug-after", "2000"}, 0);
    const std::string com = counter.Com;
    ASSERT_TRUE(WaitFor([&] { return !counter.Running(); }, 8000));
    EXPECT_TRUE(WaitFor([&] { return Form->counter().deviceGone(); }));
    const int before = LogCount();
    EXPECT_GT(before, 5);

    TVirtualCounter& again = StartCounter(
        {"--com", QString::fromStdString(com.substr(3)), "--gate", "0.1"}, "again.log");
    ASSERT_EQ(again.Com, com);
    EXPECT_TRUE(WaitFor([&] {
        return Form->statusText().rfind("Serial device " + com + " reconnected; ", 0) == 0;
    })) << Form->statusText();
    EXPECT_TRUE(WaitFor([&] { return LogCount() > before + 5; })) << "the same log goes on";
    EXPECT_TRUE(Form->counter().isConnected());
    EXPECT_EQ(Caption(), "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + com);
}

} // namespace
