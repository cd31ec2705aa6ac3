#include "serial/my_com_port.h"

#include "platform/clock.h"
#include "platform/serial_device.h"
#include "serial/poll.h"
#include "serial/receive_buffer.h"
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
using talvek::test::PumpFor;
using talvek::test::PumpUntil;
using namespace std::chrono_literals;

namespace {

struct Event {
    std::string Text; // the telegram, or "<timeout>"
    std::int64_t AtMs;
};

class PollTest : public ::testing::Test {
protected:
    void SetUp() override { machine.Link("COM3", pty.SlavePath()); }
    void TearDown() override {
        EXPECT_TRUE(PumpUntil([] { return TPoll::Running() == 0; }, 5s))
            << "the receive thread must end after Close";
    }

    // A port on the pseudo-terminal that records every hand-over on the main thread.
    std::unique_ptr<TMyComPort> OpenPort(TDelimiter delimiter, std::int32_t readTimeOut = 0) {
        auto port = std::make_unique<TMyComPort>();
        port->ComPort = "COM3";
        port->Delimiter = delimiter;
        QObject::connect(port.get(), &TMyComPort::telegramReceived,
                         [this](const std::string& telegram) {
                             events.push_back({telegram, platform::MonotonicMs()});
                         });
        if (readTimeOut > 0) {
            port->ReadTimeOut = readTimeOut;
            QObject::connect(port.get(), &TMyComPort::silence, [this] {
                events.push_back({"<timeout>", platform::MonotonicMs()});
            });
        }
        openedAt = platform::MonotonicMs();
        EXPECT_TRUE(port->Open());
        return port;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Event& e : events) {
            texts.push_back(e.Text);
        }
        return texts;
    }

    bool PumpUntilEvents(std::size_t count, std::chrono::milliseconds timeout = 3s) {
        return PumpUntil([&] { return events.size() >= count; }, timeout);
    }

    PtyPair pty;
    FakeSerialMachine machine;
    std::vector<Event> events;
    std::int64_t openedAt = 0;
};

} // namespace

TEST_F(PollTest, CutsTheStreamAtEachKindOfDelimiter) {
    struct Case {
        const char* Name;
        TDelimiter Delimiter;
        std::string Stream;
        std::vector<std::string> Telegrams;
    };
    const Case cases[] = {
        {"CRLF", TDelimiter::CRLF, "ABC\r\n", {"ABC"}},
        {"LF on CR LF lines", TDelimiter::LF, "A1\r\nB2\r\n", {"A1", "B2"}},
        {"CR on CR LF lines", TDelimiter::CR, "A1\r\nB2\r\n", {"A1", ""}},
        {"NULL", TDelimiter::Null, std::string("AB\tCD\0EF\0", 9), {"AB", "EF"}},
        {"no", TDelimiter::no, "X\x01Y\r\n", {"X\x01Y\r\n"}},
        {"high characters are text", TDelimiter::CRLF, "\xB5s\xFF\r\n", {"\xB5s\xFF"}},
    };
    for (const Case& c : cases) {
        events.clear();
        auto port = OpenPort(c.Delimiter);
        pty.Write(c.Stream);
        PumpUntilEvents(c.Telegrams.size());
        PumpFor(150ms); // nothing more may follow
        EXPECT_EQ(Texts(), c.Telegrams) << c.Name;
        port.reset();
        ASSERT_TRUE(PumpUntil([] { return TPoll::Running() == 0; }, 5s));
    }
}

TEST_F(PollTest, TwoTelegramsInOneReadComeOutInOrderInTwoPasses) {
    auto port = OpenPort(TDelimiter::CRLF);
    pty.Write("F1\r\nF2\r\n");
    ASSERT_TRUE(PumpUntilEvents(2));
    PumpFor(100ms);
    ASSERT_EQ(Texts(), (std::vector<std::string>{"F1", "F2"}));
    EXPECT_GE(events[1].AtMs - events[0].AtMs, 9) << "one telegram per pass, 10 ms sleep between";
}

TEST_F(PollTest, ATelegramSplitOverTwoReadsComesOutOnce) {
    auto port = OpenPort(TDelimiter::CRLF);
    pty.Write("12.34");
    PumpFor(150ms);
    EXPECT_TRUE(events.empty());
    pty.Write("5 Hz\r");
    PumpFor(150ms);
    EXPECT_TRUE(events.empty()) << "half a delimiter is no delimiter";
    pty.Write("\n");
    ASSERT_TRUE(PumpUntilEvents(1));
    PumpFor(150ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"12.345 Hz"});
}

TEST_F(PollTest, ChangesAfterOpenDoNotReachTheRunningThread) {
    auto port = OpenPort(TDelimiter::CR);
    port->Delimiter = TDelimiter::no;
    port->ReadTimeOut = 100;
    int silences = 0;
    QObject::connect(port.get(), &TMyComPort::silence, [&silences] { ++silences; });
    pty.Write("A\nB\r");
    ASSERT_TRUE(PumpUntilEvents(1));
    PumpFor(300ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"A"}) << "still cut at CR and cleaned";
    EXPECT_EQ(silences, 0) << "the thread works on the settings taken at Open";

    port->Close();
    ASSERT_TRUE(PumpUntil([] { return TPoll::Running() == 0; }, 5s));
    ASSERT_TRUE(port->Open());
    pty.Write("C\nD\r");
    ASSERT_TRUE(PumpUntil([&] { return silences >= 1; }, 3s)) << "the next Open takes them";
    EXPECT_EQ(events.back().Text, "C\nD\r");
}

TEST_F(PollTest, SilenceReportsTheFirstTimeOutAfterOnePeriodThenEveryPeriod) {
    constexpr int period = 400;
    auto port = OpenPort(TDelimiter::CRLF, period);
    ASSERT_TRUE(PumpUntilEvents(2, 5s));
    port->Close();
    const std::int64_t first = events[0].AtMs - openedAt;
    const std::int64_t second = events[1].AtMs - events[0].AtMs;
    EXPECT_EQ(events[0].Text, "<timeout>");
    EXPECT_GT(first, period) << "the first expiry after the start is absorbed";
    EXPECT_LT(first, period + 350);
    EXPECT_GT(second, period);
    EXPECT_LT(second, period + 350);
}

TEST_F(PollTest, AnEarlyTelegramDefersTheFirstTimeOutByOnePeriod) {
    constexpr int period = 400;
    auto port = OpenPort(TDelimiter::CRLF, period);
    pty.Write("early\r\n");
    ASSERT_TRUE(PumpUntilEvents(2, 5s));
    port->Close();
    ASSERT_EQ(events[0].Text, "early");
    ASSERT_EQ(events[1].Text, "<timeout>");
    const std::int64_t silence = events[1].AtMs - events[0].AtMs;
    EXPECT_GT(silence, 2 * period) << "the pending first expiry uses up one silent period";
    EXPECT_LT(silence, 2 * period + 350);
}

TEST_F(PollTest, EveryTelegramRestartsTheTimeOutPeriod) {
    constexpr int period = 400;
    auto port = OpenPort(TDelimiter::CRLF, period);
    ASSERT_TRUE(PumpUntilEvents(1, 5s)); // the first time-out: the mark is used up
    for (int i = 0; i < 4; ++i) {
        pty.Write("t\r\n");
        PumpFor(std::chrono::milliseconds(period / 2));
    }
    port->Close();
    for (std::size_t i = 1; i < events.size(); ++i) {
        EXPECT_EQ(events[i].Text, "t") << "no time-out while telegrams keep coming";
    }
}

TEST_F(PollTest, CloseWhileAHandOverWaitsNeitherBlocksNorDeliversAfterwards) {
    auto port = OpenPort(TDelimiter::CRLF, 50);
    std::atomic<bool> streaming{true};
    std::thread counter([&] {
        for (int i = 0; streaming; ++i) {
            pty.Write("S" + std::to_string(i) + "\r\n");
            std::this_thread::sleep_for(2ms);
        }
    });
    ASSERT_TRUE(PumpUntilEvents(5));
    // The main thread stops serving events, so the receive thread blocks in a hand-over.
    std::this_thread::sleep_for(100ms);
    const auto before = platform::MonotonicMs();
    port->Close();
    EXPECT_LT(platform::MonotonicMs() - before, 500) << "Close must not wait for the hand-over";
    const std::size_t atClose = events.size();
    PumpFor(200ms);
    EXPECT_EQ(events.size(), atClose) << "nothing reaches a closed port";
    streaming = false;
    counter.join();
}

TEST_F(PollTest, DestroyingAnOpenPortWhileTelegramsStreamIsSafe) {
    std::atomic<bool> streaming{true};
    std::thread counter([&] {
        for (int i = 0; streaming; ++i) {
            pty.Write("D" + std::to_string(i) + "\r\n");
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int round = 0; round < 8; ++round) {
        auto port = OpenPort(round % 2 ? TDelimiter::CRLF : TDelimiter::no, 20);
        PumpFor(std::chrono::milliseconds(20 + 15 * round));
        if (round % 3 == 0) {
            std::this_thread::sleep_for(30ms); // leave a hand-over waiting
        }
        const std::size_t atDestroy = events.size();
        port.reset();
        PumpFor(50ms);
        EXPECT_EQ(events.size(), atDestroy) << "round " << round;
    }
    streaming = false;
    counter.join();
}

TEST_F(PollTest, AHandlerMayCloseAndDestroyItsPort) {
    auto port = OpenPort(TDelimiter::CRLF);
    port->Close();
    TMyComPort* raw = port.release();
    QObject::connect(raw, &TMyComPort::telegramReceived, [raw] { delete raw; });
    ASSERT_TRUE(raw->Open());
    pty.Write("bye\r\nagain\r\n");
    PumpFor(300ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"bye"});
}

TEST_F(PollTest, AVanishedDeviceIsReportedAndDoesNotSpinTheThread) {
    auto port = OpenPort(TDelimiter::CRLF, 200);
    int lost = 0;
    QObject::connect(port.get(), &TMyComPort::deviceLost, [&lost] { ++lost; });
    pty.Write("last\r\n");
    ASSERT_TRUE(PumpUntilEvents(1));
    pty.CloseMaster();

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    PumpUntil([&] { return lost > 0; }, 2s);
    EXPECT_EQ(lost, 1);
    PumpFor(1000ms);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const auto cpuMs = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000 +
               (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000;
    };
    EXPECT_LT(cpuMs(after) - cpuMs(before), 400) << "a spinning thread would use the full second";
    const std::size_t timeOuts = events.size() - 1;
    EXPECT_GE(timeOuts, 3u) << "the passes go on in their rhythm: silences are still reported";
    EXPECT_EQ(lost, 1) << "the loss is reported once";
    port->Close();
}

TEST_F(PollTest, ABurstComesOutCompleteAndInOrderAndDrainsQuickly) {
    // As long as the counter's display dump; far more than the old 4096-byte bound held.
    constexpr int count = 600;
    std::vector<std::string> sent;
    std::string burst;
    for (int i = 0; i < count; ++i) {
        char text[40];
        std::snprintf(text, sizeof text, "D %08d 10.000 000 012 MHz G1", i);
        sent.push_back(text);
        burst += sent.back() + "\r\n";
    }
    auto port = OpenPort(TDelimiter::CRLF);
    const std::int64_t start = platform::MonotonicMs();
    std::thread counter([&] { pty.Write(burst); }); // the kernel may hold only part of it
    const bool all = PumpUntilEvents(count, 120s);
    counter.join();
    ASSERT_TRUE(all) << events.size() << " of " << count << " handed over";
    PumpFor(100ms);
    EXPECT_EQ(Texts(), sent) << "every telegram once, in order";
    // A large backlog skips the pass sleep: the first half goes without 10 ms between hand-overs,
    // so the whole burst is out in well under the 6 s that one telegram per pass would take.
    std::vector<std::int64_t> gaps;
    for (std::size_t i = 1; i < count / 2; ++i) {
        gaps.push_back(events[i].AtMs - events[i - 1].AtMs);
    }
    std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
    EXPECT_LT(gaps[gaps.size() / 2], 5) << "median time between hand-overs while draining";
    EXPECT_LT(events.back().AtMs - start, 5'000);
}

TEST_F(PollTest, ALineThatOverflowsTheBoundIsDroppedAndTheNextOneComesThrough) {
    auto port = OpenPort(TDelimiter::CRLF);
    std::string stream;
    for (int i = 0; i < 6000; ++i) {
        stream += static_cast<char>('A' + (i * 7) % 26);
    }
    // In pieces the terminal's input queue takes whole, each read up before the next.
    for (std::size_t at = 0; at < stream.size(); at += 3000) {
        pty.Write(stream.substr(at, 3000));
        ASSERT_TRUE(PumpUntil([&] { return pty.SlaveInputBytes() == 0; }, 10s));
    }
    PumpFor(200ms);
    EXPECT_TRUE(events.empty());
    // Its end alone must not pass for a telegram; the line after it is whole again.
    pty.Write("1234.5 Hz\r\n10.000 Hz\r\n");
    ASSERT_TRUE(PumpUntilEvents(1));
    PumpFor(150ms);
    EXPECT_EQ(Texts(), std::vector<std::string>{"10.000 Hz"});
}

TEST_F(PollTest, ABacklogAboveTheLimitStopsReadsUntilItHasFallen) {
    constexpr std::size_t limit = 200;
    constexpr int count = 300;
    constexpr int telegramBytes = 10; // "T0000123" CR LF
    auto device = platform::SerialDevice::Open(pty.SlavePath());
    ASSERT_TRUE(device);
    platform::SerialLineState state;
    ASSERT_TRUE(device->GetLineState(state));
    ASSERT_TRUE(device->SetLineState(state));
    ASSERT_TRUE(device->SetTimeouts({1, 1, 1, 1, 20}));

    // Everything waits in the terminal before the thread starts, so what it has not read yet is
    // exactly what the terminal still holds.
    std::string burst;
    for (int i = 0; i < count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "T%07d\r\n", i);
        burst += text;
    }
    ASSERT_EQ(burst.size(), std::size_t{count * telegramBytes});
    pty.Write(burst);
    ASSERT_TRUE(PumpUntil([&] { return pty.SlaveInputBytes() == int(burst.size()); }, 5s));

    std::vector<std::string> telegrams;
    std::size_t mostBuffered = 0;
    int unreadAtFirst = -1;
    auto receiver = std::make_shared<TPollReceiver>();
    receiver->telegram = [&](const std::string& telegram) {
        telegrams.push_back(telegram);
        const std::size_t unread = static_cast<std::size_t>(pty.SlaveInputBytes());
        const std::size_t cut = telegrams.size() * telegramBytes;
        mostBuffered = std::max(mostBuffered, burst.size() - unread - cut);
        if (unreadAtFirst < 0) {
            unreadAtFirst = static_cast<int>(unread);
        }
    };
    auto link = std::make_shared<TPollLink>();
    link->receiver = receiver;
    ASSERT_TRUE(TPoll::Start(link, device, 0, TDelimiter::CRLF, limit));
    const bool all = PumpUntil([&] { return telegrams.size() >= count; }, 60s);
    link->Terminated = true;
    link->receiver.reset();
    device->Close();

    ASSERT_TRUE(all) << telegrams.size() << " of " << count << " handed over: reads must resume";
    for (int i = 0; i < count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "T%07d", i);
        ASSERT_EQ(telegrams[i], text);
    }
    EXPECT_GT(unreadAtFirst, 0);
    // Reads of 80 bytes while one telegram of 10 goes per pass would pile up thousands of bytes.
    EXPECT_LE(mostBuffered, limit + 80) << "no read while the backlog is at its limit";
}
