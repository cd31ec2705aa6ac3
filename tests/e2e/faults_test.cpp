// SPDX-License-Identifier: GPL-3.0-or-later
// Faults on the line, injected by the virtual counter: the window keeps turning, never crashes,
// and logs every well-formed reading exactly once, in order.

#include "tests/e2e/e2e_fixture.h"

#include "counter/driver.h"
#include "serial/serial_port.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Generous: a loaded two-core machine runs several test programs at once.
constexpr qint64 kStallBoundMs = 1500;

class FaultsTest : public EndToEndTest {
protected:
    // Starts a counter with the fault options, connects the window to it and measures
    // continuously until the counter stops (by --count) or `measureMs` passed.
    VirtualCounter& runContinuous(QStringList options, int measureMs) {
        options << "--start"
                << "idle"
                << "--gate"
                << "0.1"
                << "--seed"
                << "3";
        VirtualCounter& counter = startCounter(options, "sent.log");
        openWindow();
        pickPort(counter.comName);
        pressConnect();
        EXPECT_TRUE(window->counter().isConnected()) << caption();
        silences = std::make_unique<QSignalSpy>(window->counter().findChild<serial::SerialPort*>(),
                                                &serial::SerialPort::silence);
        command({"Measure", "continuous"});
        QTest::qWait(measureMs);
        return counter;
    }

    void expectAllReadingsOnce(const VirtualCounter& counter, bool delimited = true,
                               int drainMs = 30000) {
        waitCaughtUp(counter, drainMs);
        const std::vector<SentTelegram> sent = counter.sent();
        const std::vector<LoggedReading> logged = loggedReadings();
        EXPECT_EQ(compareReadings(sent, logged, delimited, inFlightAtUnplug(sent)), "");
        for (std::size_t i = 1; i < logged.size(); ++i) {
            ASSERT_GE(logged[i].timeMs, logged[i - 1].timeMs) << i;
        }
    }

    // The first telegram that may still have been in the cable when it was pulled.
    static std::size_t inFlightAtUnplug(const std::vector<SentTelegram>& sent) {
        if (sent.empty() || sent.back().kind != "unplug") {
            return SIZE_MAX;
        }
        std::size_t first = sent.size() - 1;
        while (first > 0 && sent[first - 1].seconds > sent.back().seconds - 0.1) {
            --first;
        }
        return first;
    }

    // The silences the serial port reported to the driver since the measurement began.
    std::unique_ptr<QSignalSpy> silences;

    void report(const char* fault, const talvek::test::StallMeter& stalls) {
        std::printf("[ e2e ] %s: %d readings in the log, longest event-loop stall %lld ms\n", fault,
                    logCount(), static_cast<long long>(stalls.longestMs()));
        EXPECT_LT(stalls.longestMs(), kStallBoundMs);
    }
};

TEST_F(FaultsTest, GarbageAndControlCharactersBetweenTelegrams) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter =
        runContinuous({"--garbage", "0.4", "--format", "hertz", "--count", "40"}, 4000);
    expectAllReadingsOnce(counter);
    EXPECT_GT(logCount(), 10);
    report("garbage", stalls);
}

TEST_F(FaultsTest, GarbageInFrontOfDisplayDumps) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter = runContinuous({"--garbage", "0.4", "--count", "40"}, 4000);
    expectAllReadingsOnce(counter);
    EXPECT_GT(logCount(), 10);
    report("garbage before dumps", stalls);
}

TEST_F(FaultsTest, TelegramsSplitAcrossWrites) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter = runContinuous({"--split", "--count", "30"}, 3000);
    expectAllReadingsOnce(counter);
    EXPECT_EQ(counter.sentReadings().size(), 30u);
    EXPECT_EQ(logCount(), 30);
    report("split", stalls);
}

TEST_F(FaultsTest, LineWithoutDelimiterLogsNothingAndStaysResponsive) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter =
        runContinuous({"--no-delimiter", "--format", "hertz", "--count", "60"}, 6000);
    expectAllReadingsOnce(counter, false);
    EXPECT_GT(counter.sentReadings().size(), 20u);
    // The user can still disconnect and close.
    pressConnect();
    EXPECT_FALSE(window->counter().isConnected());
    EXPECT_TRUE(window->close());
    report("no delimiter", stalls);
}

TEST_F(FaultsTest, SilenceLongerThanTheTimeOut) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter = runContinuous({"--silence", "3500", "--count", "25"}, 6500);
    expectAllReadingsOnce(counter);
    EXPECT_EQ(logCount(), 25);
    // The receive thread keeps the first time-out after opening to itself; the second one of the
    // silence reaches the driver.
    EXPECT_GE(silences->count(), 1);
    report("silence", stalls);
}

// Ten times the line rate, reading after reading, for a minute; then the user stops the
// measurement. The receive thread reads on while the window takes what it queued in batches, so
// the window keeps up with the flood instead of draining it for minutes; nothing may be lost.
TEST_F(FaultsTest, BurstAtTenTimesLineRateForAMinute) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter = runContinuous({"--burst", "10", "--format", "hertz"}, 60000);
    command({"Measure", "stop"});
    expectAllReadingsOnce(counter, true, 240000);
    const std::vector<SentTelegram> sent = counter.sentReadings();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(logCount(), static_cast<int>(sent.size()));
    // The line rate of Hertz values is some 74 a second.
    EXPECT_GT(sent.size(), 3000u) << "a flood, not a trickle";
    std::printf("[ e2e ] burst: %zu readings sent in %.1f s\n", sent.size(),
                sent.back().seconds - sent.front().seconds);
    report("burst", stalls);
}

TEST_F(FaultsTest, UnplugIsReportedAndReconnectingWorks) {
    talvek::test::StallMeter stalls;
    VirtualCounter& counter = runContinuous({"--unplug-after", "3000"}, 0);
    const std::string com = counter.comName;
    ASSERT_TRUE(waitFor([&] { return !counter.running(); }, 8000));
    const std::string gone =
        "Serial device " + com + " is gone (unplugged?). Disconnect and connect again.";
    EXPECT_TRUE(waitFor([&] { return window->statusText() == gone; })) << window->statusText();
    expectAllReadingsOnce(counter);
    EXPECT_GT(logCount(), 5);

    pressConnect(); // disconnect
    EXPECT_FALSE(window->counter().isConnected());
    EXPECT_EQ(window->statusText(), "");

    // The adapter is plugged in again under the same COM name.
    VirtualCounter& again = startCounter(
        {"--com", QString::fromStdString(com.substr(3)), "--start", "idle"}, "sent-again.log");
    ASSERT_EQ(again.comName, com);
    pressConnect();
    EXPECT_TRUE(window->counter().isConnected());
    EXPECT_EQ(caption(), "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + com);
    command({"Measure", "single"});
    EXPECT_TRUE(waitFor([&] { return logCount() == 1; }));
    expectAllReadingsOnce(again);
    report("unplug", stalls);
}

TEST_F(FaultsTest, CounterPluggedInAgainIsReconnectedWithoutTheUser) {
    VirtualCounter& counter = runContinuous({"--unplug-after", "2000"}, 0);
    const std::string com = counter.comName;
    ASSERT_TRUE(waitFor([&] { return !counter.running(); }, 8000));
    EXPECT_TRUE(waitFor([&] { return window->counter().deviceGone(); }));
    const int before = logCount();
    EXPECT_GT(before, 5);

    // The next telegram replaces the message within a gate time, so every message is kept.
    std::vector<std::string> messages;
    QObject::connect(window->statusBar(), &QStatusBar::messageChanged,
                     [&messages](const QString& text) { messages.push_back(text.toStdString()); });
    VirtualCounter& again = startCounter(
        {"--com", QString::fromStdString(com.substr(3)), "--gate", "0.1"}, "again.log");
    ASSERT_EQ(again.comName, com);
    EXPECT_TRUE(waitFor([&] {
        return std::any_of(messages.begin(), messages.end(), [&](const std::string& text) {
            return text.rfind("Serial device " + com + " reconnected; ", 0) == 0;
        });
    })) << window->statusText();
    EXPECT_TRUE(waitFor([&] { return logCount() > before + 5; })) << "the same log goes on";
    EXPECT_TRUE(window->counter().isConnected());
    EXPECT_EQ(caption(), "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + com);
}

} // namespace
