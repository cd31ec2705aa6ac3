// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serial_port.h"

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "serial/receive_buffer.h"
#include "serial/receive_thread.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/pty_pair.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

using talvek::test::FakeSerialMachine;
using talvek::test::PtyPair;
using talvek::test::pumpFor;
using talvek::test::pumpUntil;
using namespace std::chrono_literals;

namespace {

struct Event {
    std::string Text; // the telegram, or "<timeout>"
    std::int64_t atMs;
    std::int64_t arrivalMs = 0; // telegrams: the stamp they came with
};

class PollTest : public ::testing::Test {
protected:
    void SetUp() override { machine.link("COM3", pty.slavePath()); }
    void TearDown() override {
        EXPECT_TRUE(pumpUntil([] { return serial::ReceiveThread::running() == 0; }, 5s))
            << "the receive thread must end after Close";
    }

    // A port on the pseudo-terminal that records every hand-over on the main thread.
    std::unique_ptr<serial::SerialPort>
    openPort(serial::Delimiter delimiter, std::int32_t readTimeOut = 0,
             std::size_t queueBytes = serial::kHandOverQueueBytes) {
        auto port = std::make_unique<serial::SerialPort>();
        settings = {};
        settings.delimiter = delimiter;
        settings.handOverQueueBytes = queueBytes;
        QObject::connect(port.get(), &serial::SerialPort::telegramReceived,
                         [this](const std::string& telegram, std::int64_t arrivalMs) {
                             events.push_back({telegram, platform::monotonicMs(), arrivalMs});
                         });
        QObject::connect(port.get(), &serial::SerialPort::telegramsDropped,
                         [this](std::uint64_t count) {
                             events.push_back({"<dropped " + std::to_string(count) + ">",
                                               platform::monotonicMs()});
                         });
        if (readTimeOut > 0) {
            settings.silenceMs = readTimeOut;
            QObject::connect(port.get(), &serial::SerialPort::silence, [this] {
                events.push_back({"<timeout>", platform::monotonicMs()});
            });
        }
        openedAt = platform::monotonicMs();
        EXPECT_TRUE(port->open("COM3", settings));
        return port;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Event& e : events) {
            texts.push_back(e.Text);
        }
        return texts;
    }

    bool pumpUntilEvents(std::size_t count, std::chrono::milliseconds timeout = 3s) {
        return pumpUntil([&] { return events.size() >= count; }, timeout);
    }

    // Keeps the main thread from serving events until the receive thread has read everything
    // sent so far, then one pass more for it to cut and queue the telegrams.
    void busyUntilAllIsRead(std::chrono::milliseconds timeout = 20s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (pty.slaveInputBytes() > 0 && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        std::this_thread::sleep_for(100ms);
    }

    PtyPair pty;
    FakeSerialMachine machine;
    std::vector<Event> events;
    serial::PortSettings settings;
    std::int64_t openedAt = 0;
};

} // namespace

TEST_F(PollTest, CutsTheStreamAtEachKindOfDelimiter) {
    struct Case {
        const char* name;
        serial::Delimiter delimiter;
        std::string Stream;
        std::vector<std::string> telegrams;
    };
    const Case cases[] = {
        {"CRLF", serial::Delimiter::CrLf, "ABC\r\n", {"ABC"}},
        {"LF on CR LF lines", serial::Delimiter::Lf, "A1\r\nB2\r\n", {"A1", "B2"}},
        {"CR on CR LF lines", serial::Delimiter::Cr, "A1\r\nB2\r\n", {"A1", ""}},
        {"NULL", serial::Delimiter::Null, std::string("AB\tCD\0EF\0", 9), {"AB", "EF"}},
        {"no", serial::Delimiter::None, "X\x01Y\r\n", {"X\x01Y\r\n"}},
        {"high characters are text", serial::Delimiter::CrLf, "\xB5s\xFF\r\n", {"\xB5s\xFF"}},
        // A terminal's editing, end-of-file and signal characters neither edit nor end a line.
        {"editing characters are data",
         serial::Delimiter::CrLf,
         std::string("AB\x7f\r\nAB\x15\x17\x12\x16\x7f\r\nA\x04\x03\x1a\x1c\0B\r\n", 23),
         {"AB\x7f", "AB", "A"}},
        {"editing characters are data up to CR",
         serial::Delimiter::Cr,
         "A\x04"
         "B\rC\x15"
         "D\r",
         {"A", "C"}},
    };
    for (const Case& c : cases) {
        events.clear();
        auto port = openPort(c.delimiter);
        pty.write(c.Stream);
        pumpUntilEvents(c.telegrams.size());
        pumpFor(150ms); // nothing more may follow
        EXPECT_EQ(Texts(), c.telegrams) << c.name;
        port.reset();
        ASSERT_TRUE(pumpUntil([] { return serial::ReceiveThread::running() == 0; }, 5s));
    }
}

TEST_F(PollTest, ATelegramSplitOverTwoReadsComesOutOnce) {
    auto port = openPort(serial::Delimiter::CrLf);
    pty.write("12.34");
    pumpFor(150ms);
    EXPECT_TRUE(events.empty());
    pty.write("5 Hz\r");
    pumpFor(150ms);
    EXPECT_TRUE(events.empty()) << "half a delimiter is no delimiter";
    pty.write("\n");
    ASSERT_TRUE(pumpUntilEvents(1));
    pumpFor(150ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"12.345 Hz"});
}

TEST_F(PollTest, ChangesAfterOpenDoNotReachTheRunningThread) {
    auto port = openPort(serial::Delimiter::Cr);
    settings.delimiter = serial::Delimiter::None;
    settings.silenceMs = 100;
    int silences = 0;
    QObject::connect(port.get(), &serial::SerialPort::silence, [&silences] { ++silences; });
    pty.write("A\nB\r");
    ASSERT_TRUE(pumpUntilEvents(1));
    pumpFor(300ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"A"}) << "still cut at CR and cleaned";
    EXPECT_EQ(silences, 0) << "the thread works on the settings taken at Open";

    port->close();
    ASSERT_TRUE(pumpUntil([] { return serial::ReceiveThread::running() == 0; }, 5s));
    ASSERT_TRUE(port->open("COM3", settings));
    pty.write("C\nD\r");
    ASSERT_TRUE(pumpUntil([&] { return silences >= 1; }, 3s)) << "the next Open takes them";
    EXPECT_EQ(events.back().Text, "C\nD\r");
}

TEST_F(PollTest, SilenceReportsTheFirstTimeOutAfterOnePeriodThenEveryPeriod) {
    constexpr int period = 400;
    auto port = openPort(serial::Delimiter::CrLf, period);
    ASSERT_TRUE(pumpUntilEvents(2, 5s));
    port->close();
    const std::int64_t first = events[0].atMs - openedAt;
    const std::int64_t second = events[1].atMs - events[0].atMs;
    EXPECT_EQ(events[0].Text, "<timeout>");
    EXPECT_GT(first, period) << "the first expiry after the start is absorbed";
    EXPECT_LT(first, period + 350);
    // Both ends are stamped when the main thread runs the handler, which may be a little late
    // for the first one and on time for the second.
    constexpr int deliveryJitter = 30;
    EXPECT_GT(second, period - deliveryJitter);
    EXPECT_LT(second, period + 350);
}

TEST_F(PollTest, AnEarlyTelegramDefersTheFirstTimeOutByOnePeriod) {
    constexpr int period = 400;
    auto port = openPort(serial::Delimiter::CrLf, period);
    pty.write("early\r\n");
    ASSERT_TRUE(pumpUntilEvents(2, 5s));
    port->close();
    ASSERT_EQ(events[0].Text, "early");
    ASSERT_EQ(events[1].Text, "<timeout>");
    const std::int64_t silence = events[1].atMs - events[0].arrivalMs;
    EXPECT_GT(silence, 2 * period) << "the pending first expiry uses up one silent period";
    EXPECT_LT(silence, 2 * period + 350);
}

TEST_F(PollTest, EveryTelegramRestartsTheTimeOutPeriod) {
    constexpr int period = 400;
    auto port = openPort(serial::Delimiter::CrLf, period);
    ASSERT_TRUE(pumpUntilEvents(1, 5s)); // the first time-out: the mark is used up
    for (int i = 0; i < 4; ++i) {
        pty.write("t\r\n");
        pumpFor(std::chrono::milliseconds(period / 2));
    }
    port->close();
    for (std::size_t i = 1; i < events.size(); ++i) {
        EXPECT_EQ(events[i].Text, "t") << "no time-out while telegrams keep coming";
    }
}

TEST_F(PollTest, CloseWithHandOversQueuedNeitherBlocksNorDeliversAfterwards) {
    auto port = openPort(serial::Delimiter::CrLf, 50);
    std::atomic<bool> streaming{true};
    std::thread counter([&] {
        for (int i = 0; streaming; ++i) {
            pty.write("S" + std::to_string(i) + "\r\n");
            std::this_thread::sleep_for(2ms);
        }
    });
    ASSERT_TRUE(pumpUntilEvents(5));
    // The main thread stops serving events, so telegrams and silences wait in the queue.
    std::this_thread::sleep_for(100ms);
    const auto before = platform::monotonicMs();
    port->close();
    EXPECT_LT(platform::monotonicMs() - before, 500) << "Close must not wait for the thread";
    const std::size_t atClose = events.size();
    pumpFor(200ms);
    EXPECT_EQ(events.size(), atClose) << "nothing reaches a closed port";
    streaming = false;
    counter.join();
}

TEST_F(PollTest, DestroyingAnOpenPortWhileTelegramsStreamIsSafe) {
    std::atomic<bool> streaming{true};
    std::thread counter([&] {
        for (int i = 0; streaming; ++i) {
            pty.write("D" + std::to_string(i) + "\r\n");
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int round = 0; round < 8; ++round) {
        auto port = openPort(round % 2 ? serial::Delimiter::CrLf : serial::Delimiter::None, 20);
        pumpFor(std::chrono::milliseconds(20 + 15 * round));
        if (round % 3 == 0) {
            std::this_thread::sleep_for(30ms); // leave hand-overs queued
        }
        const std::size_t atDestroy = events.size();
        port.reset();
        pumpFor(50ms);
        EXPECT_EQ(events.size(), atDestroy) << "round " << round;
    }
    streaming = false;
    counter.join();
}

TEST_F(PollTest, AHandlerMayCloseAndDestroyItsPort) {
    auto port = openPort(serial::Delimiter::CrLf);
    port->close();
    serial::SerialPort* raw = port.release();
    QObject::connect(raw, &serial::SerialPort::telegramReceived, [raw] { delete raw; });
    ASSERT_TRUE(raw->open("COM3", settings));
    pty.write("bye\r\nagain\r\n");
    pumpFor(300ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"bye"});
}

TEST_F(PollTest, AVanishedDeviceIsReportedAndDoesNotSpinTheThread) {
    auto port = openPort(serial::Delimiter::CrLf, 200);
    int lost = 0;
    QObject::connect(port.get(), &serial::SerialPort::deviceLost, [&lost] { ++lost; });
    pty.write("last\r\n");
    ASSERT_TRUE(pumpUntilEvents(1));
    pty.closeMaster();

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    pumpUntil([&] { return lost > 0; }, 2s);
    EXPECT_EQ(lost, 1);
    pumpFor(1000ms);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const auto cpuMs = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000 +
               (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000;
    };
    EXPECT_LT(cpuMs(after) - cpuMs(before), 400) << "a spinning thread would use the full second";
    EXPECT_EQ(lost, 1) << "the loss is reported once";
    EXPECT_EQ(serial::ReceiveThread::running(), 0) << "a gone device has nothing more to read";
    port->close();
}

// The stamp is taken when the bytes are read, however long the main thread takes to see them.
TEST_F(PollTest, TelegramsCarryTheTimeTheirBytesArrivedWhileTheMainThreadIsBusy) {
    auto port = openPort(serial::Delimiter::CrLf);
    const std::int64_t firstWritten = platform::monotonicMs();
    pty.write("A\r\n");
    std::this_thread::sleep_for(300ms); // busy: no event is served
    const std::int64_t secondWritten = platform::monotonicMs();
    pty.write("B\r\n");
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(pumpUntilEvents(2));
    ASSERT_EQ(Texts(), (std::vector<std::string>{"A", "B"}));
    EXPECT_NEAR(events[0].arrivalMs, firstWritten, 15);
    EXPECT_NEAR(events[1].arrivalMs, secondWritten, 15);
    EXPECT_LT(events[1].atMs - events[0].atMs, 50) << "both were handed over in one batch";
}

TEST_F(PollTest, ABurstIsReadWhileTheMainThreadIsBusyAndComesOutCompleteAndInOrder) {
    // About a hundred seconds of the line, several times what the terminal buffers: the sender
    // only gets rid of it when the receive thread keeps reading.
    constexpr int count = 3000;
    std::vector<std::string> sent;
    std::string burst;
    for (int i = 0; i < count; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "D %08d 10.000 000 012 MHz G1", i);
        sent.push_back(text);
        burst += sent.back() + "\r\n";
    }
    auto port = openPort(serial::Delimiter::CrLf);
    std::atomic<bool> allWritten{false};
    std::thread counter([&] {
        pty.write(burst);
        allWritten = true;
    });
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!allWritten && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(5ms); // serving no events
    }
    EXPECT_TRUE(allWritten) << "the receive thread stopped reading while the main thread was busy";
    EXPECT_TRUE(events.empty());
    const bool all = pumpUntilEvents(count, 60s);
    counter.join();
    ASSERT_TRUE(all) << events.size() << " of " << count << " handed over";
    pumpFor(100ms);
    EXPECT_EQ(Texts(), sent) << "every telegram once, in order";
}

TEST_F(PollTest, TelegramsBeyondTheQueueBoundAreReportedAsDroppedWhereTheyWereLost) {
    constexpr int count = 300;
    const auto telegram = [](int i) {
        char text[16];
        std::snprintf(text, sizeof text, "T%07d", i);
        return std::string(text);
    };
    std::string burst;
    for (int i = 0; i < count; ++i) {
        burst += telegram(i) + "\r\n";
    }
    // Room for some 50 of them.
    auto port = openPort(serial::Delimiter::CrLf, 0, 50 * (sizeof(serial::HandOver) + 8));
    pty.write(burst);
    busyUntilAllIsRead();
    ASSERT_TRUE(pumpUntil([&] { return !events.empty() && events.back().Text[0] == '<'; }, 5s));
    const std::size_t kept = events.size() - 1;
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, std::size_t{count});
    for (std::size_t i = 0; i < kept; ++i) {
        ASSERT_EQ(events[i].Text, telegram(static_cast<int>(i))) << "the oldest are kept, in order";
    }
    EXPECT_EQ(events.back().Text, "<dropped " + std::to_string(count - kept) + ">");

    pty.write(telegram(count) + "\r\n");
    ASSERT_TRUE(pumpUntilEvents(kept + 2));
    EXPECT_EQ(events.back().Text, telegram(count)) << "with room again, telegrams come through";

    // Destroyed with a full queue and drops pending: none of it reaches anyone.
    pty.write(burst);
    busyUntilAllIsRead();
    const std::size_t atDestroy = events.size();
    port.reset();
    pumpFor(200ms);
    EXPECT_EQ(events.size(), atDestroy);
}

TEST_F(PollTest, SilencesComeInTheirPlaceAmongTheTelegrams) {
    constexpr int period = 150;
    auto port = openPort(serial::Delimiter::CrLf, period);
    ASSERT_TRUE(pumpUntilEvents(1, 5s)); // the first time-out: the mark is used up
    // All of it happens while the main thread serves no events.
    pty.write("A\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * period));
    pty.write("B\r\n");
    busyUntilAllIsRead();
    ASSERT_TRUE(pumpUntil([&] { return !events.empty() && events.back().Text == "B"; }, 5s));
    std::vector<std::string> texts = Texts();
    const auto a = std::find(texts.begin(), texts.end(), "A");
    ASSERT_LT(a + 1, texts.end());
    EXPECT_EQ(a[1], "<timeout>") << "the silence after A comes before B";
    std::erase(texts, "<timeout>");
    EXPECT_EQ(texts, (std::vector<std::string>{"A", "B"}));
}

TEST_F(PollTest, ALineThatOverflowsTheBoundIsDroppedAndTheNextOneComesThrough) {
    auto port = openPort(serial::Delimiter::CrLf);
    std::string stream;
    for (int i = 0; i < 6000; ++i) {
        stream += static_cast<char>('A' + (i * 7) % 26);
    }
    // In pieces the terminal's input queue takes whole, each read up before the next.
    for (std::size_t at = 0; at < stream.size(); at += 3000) {
        pty.write(stream.substr(at, 3000));
        ASSERT_TRUE(pumpUntil([&] { return pty.slaveInputBytes() == 0; }, 10s));
    }
    pumpFor(200ms);
    EXPECT_TRUE(events.empty());
    // Its end alone must not pass for a telegram; the line after it is whole again.
    pty.write("1234.5 Hz\r\n10.000 Hz\r\n");
    ASSERT_TRUE(pumpUntilEvents(1));
    pumpFor(150ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"10.000 Hz"});
}
