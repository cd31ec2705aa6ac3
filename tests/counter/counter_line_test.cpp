#include "counter/kelvo_counter.h"
#include "platform/port_catalog.h"
#include "platform/port_links.h"
#include "tests/counter/scripted_counter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace std::chrono_literals;

namespace {

const std::string Identify = "\x1bI\r";

// Each test gets its own link folder and device map; ports are pseudo-terminals.
class CounterLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        // Only the test's own links are ports; the machine's serial devices are never touched.
        const std::string none = home.filePath("none").toStdString();
        platform::installSystemPortCatalog(
            std::make_shared<platform::PortCatalog>(platform::MachineFolders{none, none, none}));
    }
    ScriptedCounter& AddPort(int number) {
        ports.push_back(std::make_unique<ScriptedCounter>(platform::UserPortLinkFolder(), number));
        return *ports.back();
    }
    // Connects to one answering counter without auto-identify.
    ScriptedCounter& ConnectTo(int number) {
        ScriptedCounter& peer = AddPort(number);
        peer.Answer("I", "kelvo");
        counter.ComPort = "COM" + std::to_string(number);
        EXPECT_TRUE(counter.Connect(false));
        EXPECT_EQ(peer.WaitForBytes(3, 1s), Identify);
        return peer;
    }

    QTemporaryDir home;
    std::vector<std::unique_ptr<ScriptedCounter>> ports;
    TKELVO_Counter counter;
};

qint64 MsToRun(const std::function<void()>& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.elapsed();
}

TEST_F(CounterLine, IdentificationGivesTheDeviceName) {
    ConnectTo(5);
    EXPECT_TRUE(counter.Connected);
    EXPECT_TRUE(counter.Identified);
    EXPECT_EQ(counter.Device(), "kelvo-counter");
    EXPECT_EQ(counter.ComPort, "COM5");
}

TEST_F(CounterLine, SilentPortConnectsAsUnknownWithoutAutoIdentify) {
    ScriptedCounter& peer = AddPort(4);
    peer.Answer("I", "KELVO upper case is not the counter");
    counter.ComPort = "COM4";
    const qint64 ms = MsToRun([&] { EXPECT_TRUE(counter.Connect(false)); });
    EXPECT_GE(ms, 1400);
    EXPECT_LT(ms, 4000);
    EXPECT_EQ(counter.Device(), "unknown");
    EXPECT_TRUE(counter.SerialPort->IsOpen);
}

TEST_F(CounterLine, SilentPortIsClosedAgainWithAutoIdentify) {
    AddPort(4);
    counter.ComPort = "COM4";
    EXPECT_FALSE(counter.Connect(true));
    EXPECT_FALSE(counter.Connected);
    EXPECT_EQ(counter.Device(), "");
    EXPECT_FALSE(counter.SerialPort->IsOpen);
}

TEST_F(CounterLine, PortThatDoesNotOpenFails) {
    counter.ComPort = "COM99";
    const qint64 ms = MsToRun([&] { EXPECT_FALSE(counter.Connect(false)); });
    EXPECT_LT(ms, 1000);
    EXPECT_FALSE(counter.Connected);
}

TEST_F(CounterLine, ScanTriesPortsFromTheLastToTheFirst) {
    ScriptedCounter& com1 = AddPort(1);
    ScriptedCounter& com3 = AddPort(3);
    ScriptedCounter& com7 = AddPort(7);
    com1.Answer("I", "kelvo");
    com3.Answer("I", "kelvo");
    EXPECT_TRUE(counter.Connect(false));
    EXPECT_EQ(counter.ComPort, "COM3");
    EXPECT_EQ(counter.Device(), "kelvo-counter");
    EXPECT_EQ(com7.Received(), Identify);
    EXPECT_EQ(com3.Received(), Identify);
    EXPECT_EQ(com1.Received(), "");
    // COM7 stayed silent for its whole identification time before COM3 was tried.
    EXPECT_GE(com3.FirstByteAt() - com7.FirstByteAt(), 1400ms);
}

TEST_F(CounterLine, ConnectWhileConnectedWritesNothing) {
    ScriptedCounter& peer = ConnectTo(2);
    EXPECT_TRUE(counter.Connect(false));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(peer.Received(), Identify);
}

TEST_F(CounterLine, EveryCommandWritesItsBytesAndEndsOnTheReply) {
    ScriptedCounter& peer = ConnectTo(6);
    struct Case {
        std::function<bool()> op;
        std::string command; // without ESC and CR
    };
    const Case cases[] = {
        {[&] { return counter.MeasureSingle(); }, "1"},
        {[&] { return counter.MeasureContinuous(); }, "r"},
        {[&] { return counter.MeasureStop(); }, "x"},
        {[&] { return counter.RequestInfo(); }, "I"},
        {[&] { return counter.SetGateTime(1.0f); }, "T"},
        {[&] { return counter.SetGateTime(0.1f); }, "t"},
        {[&] { return counter.SetAverage(true); }, "A"},
        {[&] { return counter.SetAverage(false); }, "a"},
        {[&] { return counter.SetMode(0); }, "f"},
        {[&] { return counter.SetMode(1); }, "p"},
        {[&] { return counter.SetMode(2); }, "o"},
        {[&] { return counter.SetTelegram(false); }, "d"},
        {[&] { return counter.SetTelegram(true); }, "h"},
        {[&] { return counter.SetPrescalerBNC(16); }, "b16"},
        {[&] { return counter.SetPrescalerSMA(16); }, "b16"},
        {[&] { return counter.SetTransmitInterval(5); }, "i5"},
        {[&] { return counter.SetTransmitInterval(-2); }, "i-2"},
    };
    std::string expected = Identify;
    for (const Case& c : cases) {
        peer.Answer(c.command, "OK");
    }
    for (const Case& c : cases) {
        EXPECT_TRUE(c.op()) << c.command;
        EXPECT_EQ(counter.StatusText, "OK");
        expected += "\x1b" + c.command + "\r";
        EXPECT_EQ(peer.Received(), expected) << c.command;
    }
}

TEST_F(CounterLine, GateTimesOtherThanOneAndATenthWriteNothing) {
    ScriptedCounter& peer = ConnectTo(6);
    EXPECT_FALSE(counter.SetGateTime(0.5f));
    EXPECT_FALSE(counter.SetGateTime(1.002f));
    EXPECT_FALSE(counter.SetMode(3));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(peer.Received(), Identify);
}

TEST_F(CounterLine, SilentCounterEndsTheWaitAtTheNextTimeOut) {
    ConnectTo(6);
    bool answered = true;
    const qint64 ms = MsToRun([&] { answered = counter.MeasureStop(); });
    EXPECT_FALSE(answered);
    EXPECT_TRUE(counter.TimedOut);
    EXPECT_GE(ms, 1000);
    EXPECT_LT(ms, 4000);
}

TEST_F(CounterLine, ReadingsDoNotEndTheWaitOnlyAStatusTelegramDoes) {
    ScriptedCounter& peer = ConnectTo(6);
    int readings = 0;
    counter.OnData = [&](QObject*) { ++readings; };
    // Continuous measurement for longer than the time-out, then the reply.
    std::thread stream([&] {
        for (int i = 0; i < 25; ++i) {
            peer.Send("10000000." + std::to_string(i % 10));
            std::this_thread::sleep_for(100ms);
        }
        peer.Send("OK");
    });
    bool answered = false;
    const qint64 ms = MsToRun([&] { answered = counter.SetAverage(true); });
    stream.join();
    EXPECT_TRUE(answered);
    EXPECT_GE(ms, 2000);
    EXPECT_GE(readings, 20);
    EXPECT_EQ(counter.StatusText, "OK");
}

TEST_F(CounterLine, AWaitStartedInsideAnotherWaitEndsBoth) {
    // The user picks a second command while the first one still waits for its answer.
    ScriptedCounter& peer = ConnectTo(6);
    peer.Answer("x", "OK");
    bool innerResult = false;
    QTimer::singleShot(100, [&] { innerResult = counter.MeasureStop(); });
    const bool outerResult = counter.SetAverage(true);
    EXPECT_TRUE(innerResult);
    EXPECT_TRUE(outerResult);
    EXPECT_EQ(peer.Received(), Identify + "\x1b"
                                          "A\r\x1bx\r");
}

TEST_F(CounterLine, CommandsWhileDisconnectedWriteNothing) {
    ScriptedCounter& peer = ConnectTo(6);
    counter.Disconnect();
    counter.Disconnect();
    EXPECT_FALSE(counter.Connected);
    EXPECT_EQ(counter.Device(), "");
    const qint64 ms = MsToRun([&] {
        EXPECT_FALSE(counter.MeasureSingle());
        EXPECT_FALSE(counter.SetPrescalerBNC(16));
        counter.Send("\x1b"
                     "5\r");
    });
    EXPECT_LT(ms, 200);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(peer.Received(), Identify);
}

TEST_F(CounterLine, DisconnectInsideAWaitEndsIt) {
    ConnectTo(6);
    QTimer::singleShot(100, [&] { counter.Disconnect(); });
    const qint64 ms = MsToRun([&] { EXPECT_FALSE(counter.MeasureStop()); });
    EXPECT_LT(ms, 1000);
}

} // namespace
