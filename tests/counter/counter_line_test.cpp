// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/driver.h"
#include "counter/kelvo_profile.h"
#include "platform/port_catalog.h"
#include "platform/port_links.h"
#include "platform/serial_device.h"
#include "recording/reconnector.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/scripted_counter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using counter::Driver;
using talvek::test::pumpUntil;
using talvek::test::ScriptedCounter;
using namespace std::chrono_literals;

namespace {

const std::string kIdentify = "\x1bI\r";

// A display dump: "av", 15 unused characters, the unit field, a blank, the 11-character number.
std::string dump(const std::string& unit, const std::string& number) {
    return "av" + std::string(15, ' ') + unit + " " + number;
}

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
        QObject::connect(&counter, &Driver::readingReceived,
                         [this](const counter::Reading& r) { readings.push_back(r); });
        QObject::connect(&counter, &Driver::statusReceived,
                         [this](const std::string& s) { statuses.push_back(s); });
    }
    ScriptedCounter& addPort(int number) {
        ports.push_back(std::make_unique<ScriptedCounter>(platform::userPortLinkFolder(), number));
        return *ports.back();
    }
    // Starts a connect and serves events until it has ended; whether it connected.
    bool Connect(bool autoIdentify) {
        std::optional<bool> connected;
        const auto c = QObject::connect(&counter, &Driver::connectFinished,
                                        [&](bool outcome) { connected = outcome; });
        counter.connectToInstrument(autoIdentify);
        EXPECT_TRUE(pumpUntil([&] { return connected.has_value(); }, 30s));
        QObject::disconnect(c);
        return connected.value_or(false);
    }
    // Connects to one answering counter without auto-identify.
    ScriptedCounter& connectTo(int number) {
        ScriptedCounter& peer = addPort(number);
        peer.answer("I", "kelvo");
        counter.setPort("COM" + std::to_string(number));
        EXPECT_TRUE(Connect(false));
        EXPECT_EQ(peer.waitForBytes(3, 1s), kIdentify);
        return peer;
    }
    // Runs a command and serves events until its reply wait has ended: whether the counter
    // answered; nothing when the command was not sent.
    std::optional<bool> Outcome(const std::function<bool()>& command) {
        std::optional<bool> answered;
        const auto c = QObject::connect(&counter, &Driver::commandFinished,
                                        [&](bool a) { answered = answered.value_or(a); });
        if (command()) {
            EXPECT_TRUE(pumpUntil([&] { return answered.has_value(); }, 10s));
        }
        QObject::disconnect(c);
        return answered;
    }
    // Whether the driver holds the pseudo-terminal open.
    static bool held(const ScriptedCounter& peer) {
        return platform::SerialDevice::open(peer.slavePath()) == nullptr;
    }
    std::string lastStatus() const { return statuses.empty() ? "" : statuses.back(); }

    QTemporaryDir home;
    std::vector<std::unique_ptr<ScriptedCounter>> ports;
    // The command of the table with these captions; it must be there.
    const counter::InstrumentCommand& command(std::string_view submenu, std::string_view caption) {
        for (const counter::InstrumentCommand& entry : kelvo.commands()) {
            if (entry.submenu == submenu && entry.caption == caption) {
                return entry;
            }
        }
        ADD_FAILURE() << "no command " << submenu << " " << caption;
        return kelvo.commands().front();
    }
    bool send(std::string_view submenu, std::string_view caption, int value = 0) {
        return counter.sendCommand(command(submenu, caption), value);
    }

    const counter::KelvoProfile kelvo;
    Driver counter{kelvo};
    std::vector<counter::Reading> readings;
    std::vector<std::string> statuses;
};

qint64 msToRun(const std::function<void()>& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.elapsed();
}

TEST_F(CounterLine, IdentificationGivesTheDeviceName) {
    connectTo(5);
    EXPECT_TRUE(counter.isConnected());
    EXPECT_EQ(counter.device(), "kelvo-counter");
    EXPECT_EQ(counter.port(), "COM5");
}

TEST_F(CounterLine, SilentPortConnectsAsUnknownWithoutAutoIdentify) {
    ScriptedCounter& peer = addPort(4);
    peer.answer("I", "KELVO upper case is not the counter");
    counter.setPort("COM4");
    const qint64 ms = msToRun([&] { EXPECT_TRUE(Connect(false)); });
    EXPECT_GE(ms, 1400);
    EXPECT_LT(ms, 4000);
    EXPECT_EQ(counter.device(), "unknown");
    EXPECT_TRUE(held(peer));
}

TEST_F(CounterLine, SilentPortIsClosedAgainWithAutoIdentify) {
    ScriptedCounter& peer = addPort(4);
    counter.setPort("COM4");
    EXPECT_FALSE(Connect(true));
    EXPECT_FALSE(counter.isConnected());
    EXPECT_EQ(counter.device(), "");
    EXPECT_FALSE(held(peer));
}

TEST_F(CounterLine, PortThatDoesNotOpenFails) {
    counter.setPort("COM99");
    const qint64 ms = msToRun([&] { EXPECT_FALSE(Connect(false)); });
    EXPECT_LT(ms, 1000);
    EXPECT_FALSE(counter.isConnected());
}

TEST_F(CounterLine, ScanTriesPortsFromTheLastToTheFirst) {
    ScriptedCounter& com1 = addPort(1);
    ScriptedCounter& com3 = addPort(3);
    ScriptedCounter& com7 = addPort(7);
    com1.answer("I", "kelvo");
    com3.answer("I", "kelvo");
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(counter.port(), "COM3");
    EXPECT_EQ(counter.device(), "kelvo-counter");
    EXPECT_EQ(com7.received(), kIdentify);
    EXPECT_EQ(com3.received(), kIdentify);
    EXPECT_EQ(com1.received(), "");
    // COM7 stayed silent for its whole identification time before COM3 was tried.
    EXPECT_GE(com3.firstByteAt() - com7.firstByteAt(), 1400ms);
}

TEST_F(CounterLine, ConnectWhileConnectedWritesNothing) {
    ScriptedCounter& peer = connectTo(2);
    EXPECT_TRUE(Connect(false));
    // Whatever a second connect wrote would come before the marker.
    peer.answer("I", "kelvo");
    ASSERT_TRUE(send("", "Info"));
    EXPECT_EQ(peer.waitForBytes(2 * kIdentify.size(), 3s), kIdentify + kIdentify);
}

TEST_F(CounterLine, TelegramsBeforeTheConnectCountOnlyAsIdentification) {
    ScriptedCounter& peer = addPort(3);
    peer.answer("I", "10000000.5\r\nOK\r\n" + dump("MHz", "  10.000000") +
                         "\r\nKELVO upper case\r\nkelvo FC-9");
    counter.setPort("COM3");
    EXPECT_TRUE(Connect(false));
    EXPECT_EQ(counter.device(), "kelvo FC-9-counter");
    EXPECT_TRUE(readings.empty());
    EXPECT_TRUE(statuses.empty());
}

TEST_F(CounterLine, TelegramsWhileConnectedBecomeReadingsAndReplies) {
    ScriptedCounter& peer = connectTo(6);
    for (const std::string& telegram :
         {std::string(""), std::string("10000000.5"), std::string("OK"),
          std::string("kelvo FC-3000 V2.1 virtual counter"), dump(" us", "     12.000")}) {
        peer.send(telegram);
    }
    ASSERT_TRUE(pumpUntil([&] { return readings.size() + statuses.size() >= 4; }, 3s));
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0].value, 10000000.5);
    EXPECT_EQ(readings[0].telegram, "10000000.5");
    EXPECT_TRUE(readings[1].isPeriod());
    EXPECT_DOUBLE_EQ(readings[1].value, 12e-6);
    EXPECT_EQ(statuses, (std::vector<std::string>{"OK", "kelvo FC-3000 V2.1 virtual counter"}));
}

TEST_F(CounterLine, EveryCommandWritesItsBytesAndEndsOnTheReply) {
    ScriptedCounter& peer = connectTo(6);
    struct Case {
        std::function<bool()> op;
        std::string command; // without ESC and CR
    };
    const Case cases[] = {
        {[&] { return send("Measure", "single"); }, "1"},
        {[&] { return send("Measure", "continuous"); }, "r"},
        {[&] { return send("Measure", "stop"); }, "x"},
        {[&] { return send("", "Info"); }, "I"},
        {[&] { return send("Gate Time", "1s"); }, "T"},
        {[&] { return send("Gate Time", "0.1s"); }, "t"},
        {[&] { return send("Average", "ON"); }, "A"},
        {[&] { return send("Average", "OFF"); }, "a"},
        {[&] { return send("Mode", "Frequency"); }, "f"},
        {[&] { return send("Mode", "Period"); }, "p"},
        {[&] { return send("Mode", "Offset"); }, "o"},
        {[&] { return send("COM Telegram", "display dump"); }, "d"},
        {[&] { return send("COM Telegram", "Hertz value"); }, "h"},
        {[&] { return send("Prescaler", "BNC <value>", 16); }, "b16"},
        {[&] { return send("Prescaler", "SMA <value>", 16); }, "b16"},
        {[&] { return send("", "Transmit Interval <value>", 5); }, "i5"},
        {[&] { return send("", "Transmit Interval <value>", -2); }, "i-2"},
    };
    std::string expected = kIdentify;
    for (const Case& c : cases) {
        peer.answer(c.command, "OK");
    }
    for (const Case& c : cases) {
        EXPECT_EQ(Outcome(c.op), true) << c.command;
        EXPECT_EQ(lastStatus(), "OK");
        expected += "\x1b" + c.command + "\r";
        EXPECT_EQ(peer.received(), expected) << c.command;
    }
}

// Gate time and mode are chosen by name, never by a number that could be out of range.
TEST_F(CounterLine, GateTimesAndModesSendTheirOwnCommands) {
    using Gate = counter::KelvoProfile::GateTime;
    using Mode = counter::KelvoProfile::Mode;
    ScriptedCounter& peer = connectTo(6);
    for (const char* reply : {"T", "t", "f", "p", "o"}) {
        peer.answer(reply, "OK");
    }
    for (const counter::InstrumentCommand* entry :
         {&counter::KelvoProfile::command(Gate::OneSecond),
          &counter::KelvoProfile::command(Gate::TenthSecond),
          &counter::KelvoProfile::command(Mode::Frequency),
          &counter::KelvoProfile::command(Mode::Period),
          &counter::KelvoProfile::command(Mode::Offset)}) {
        EXPECT_EQ(Outcome([&] { return counter.sendCommand(*entry); }), true);
    }
    EXPECT_EQ(peer.received(), kIdentify + "\x1bT\r\x1bt\r\x1b"
                                           "f\r\x1bp\r\x1bo\r");
}

TEST_F(CounterLine, SilentCounterEndsTheWaitAtTheNextTimeOut) {
    connectTo(6);
    std::optional<bool> answered;
    const qint64 ms = msToRun([&] { answered = Outcome([&] { return send("Measure", "stop"); }); });
    EXPECT_EQ(answered, false);
    EXPECT_GE(ms, 1000);
    EXPECT_LT(ms, 4000);
    EXPECT_TRUE(readings.empty() && statuses.empty()) << "a silence is neither reading nor reply";
}

TEST_F(CounterLine, ReadingsDoNotEndTheWaitOnlyAStatusTelegramDoes) {
    ScriptedCounter& peer = connectTo(6);
    // Continuous measurement for longer than the time-out, then the reply.
    std::thread stream([&] {
        for (int i = 0; i < 25; ++i) {
            peer.send("10000000." + std::to_string(i % 10));
            std::this_thread::sleep_for(100ms);
        }
        peer.send("OK");
    });
    std::optional<bool> answered;
    const qint64 ms = msToRun([&] { answered = Outcome([&] { return send("Average", "ON"); }); });
    stream.join();
    EXPECT_EQ(answered, true);
    EXPECT_GE(ms, 2000);
    EXPECT_GE(readings.size(), 20u);
    EXPECT_EQ(lastStatus(), "OK");
}

// A reply is only what the counter answers: line noise, alone on its line or glued in front of a
// display dump, neither ends the wait nor shows as a reply; the dump behind it is still read.
TEST_F(CounterLine, LineNoiseIsNoReplyAndADisplayDumpBehindItIsStillRead) {
    ScriptedCounter& peer = connectTo(5);
    const std::string dumped = dump("MHz", "10.00000052");
    ASSERT_TRUE(send("Average", "ON"));
    peer.send("Zq\xe9");
    peer.send("#x" + dumped);
    peer.send("10000000.5"); // read once the noise before it was
    ASSERT_TRUE(pumpUntil([&] { return readings.size() == 2; }, 3s)) << readings.size();
    EXPECT_TRUE(counter.awaitingReply());
    EXPECT_TRUE(statuses.empty()) << statuses.front();
    EXPECT_EQ(readings[0].telegram, dumped);
    EXPECT_EQ(readings[0].value, 10000000.52);
    EXPECT_EQ(counter.noiseTelegrams(), 2u);
    peer.send("OK");
    ASSERT_TRUE(pumpUntil([&] { return !counter.awaitingReply(); }, 3s));
    EXPECT_EQ(statuses, std::vector<std::string>{"OK"});
}

TEST_F(CounterLine, ASecondCommandGoesOutAtOnceAndOneReplyEndsBothWaits) {
    // The user picks a second command while the first one still waits for its answer.
    ScriptedCounter& peer = connectTo(6);
    peer.answer("x", "OK");
    std::vector<bool> outcomes;
    QObject::connect(&counter, &Driver::commandFinished,
                     [&](bool answered) { outcomes.push_back(answered); });
    EXPECT_TRUE(send("Average", "ON"));
    QTimer::singleShot(100, [&] { EXPECT_TRUE(send("Measure", "stop")); });
    ASSERT_TRUE(pumpUntil([&] { return outcomes.size() >= 2; }, 3s));
    EXPECT_EQ(outcomes, (std::vector<bool>{true, true}));
    EXPECT_EQ(peer.received(), kIdentify + "\x1b"
                                           "A\r\x1bx\r");
}

TEST_F(CounterLine, ACommandFromAReadingHandlerSeesItsReply) {
    ScriptedCounter& peer = connectTo(6);
    peer.answer("x", "OK");
    std::optional<bool> answered;
    QObject::connect(&counter, &Driver::readingReceived, [&] {
        if (!answered && !counter.awaitingReply()) {
            EXPECT_TRUE(send("Measure", "stop"));
        }
    });
    QObject::connect(&counter, &Driver::commandFinished, [&](bool a) { answered = a; });
    peer.send("10000000.5");
    ASSERT_TRUE(pumpUntil([&] { return answered.has_value(); }, 3s));
    EXPECT_EQ(answered, true);
    EXPECT_EQ(statuses, std::vector<std::string>{"OK"});
}

TEST_F(CounterLine, CommandsWhileDisconnectedWriteNothing) {
    ScriptedCounter& peer = connectTo(6);
    counter.disconnectFromInstrument();
    counter.disconnectFromInstrument();
    EXPECT_FALSE(counter.isConnected());
    EXPECT_EQ(counter.device(), "");
    const qint64 ms = msToRun([&] {
        EXPECT_FALSE(send("Measure", "single"));
        EXPECT_FALSE(send("Prescaler", "BNC <value>", 16));
        counter.send("\x1b"
                     "5\r");
    });
    EXPECT_LT(ms, 200);
    EXPECT_FALSE(held(peer)) << "with the port closed nothing can reach the line";
    EXPECT_EQ(peer.received(), kIdentify);
}

TEST_F(CounterLine, DisconnectEndsAWaitAndAConnectUnderWay) {
    connectTo(6);
    QTimer::singleShot(100, [&] { counter.disconnectFromInstrument(); });
    const qint64 ms =
        msToRun([&] { EXPECT_EQ(Outcome([&] { return send("Measure", "stop"); }), false); });
    EXPECT_LT(ms, 1000);

    ScriptedCounter& silent = addPort(4);
    counter.setPort("COM4");
    QTimer::singleShot(100, [&] { counter.disconnectFromInstrument(); });
    EXPECT_FALSE(Connect(false));
    EXPECT_EQ(counter.device(), "");
    EXPECT_FALSE(held(silent));
}

// The window's status bar tells the single-port failures; a scan keeps the telling one.
TEST_F(CounterLine, AScanKeepsThePortThatAnotherProgramHolds) {
    addPort(2);
    ScriptedCounter& busy = addPort(3);
    const auto otherUser = platform::SerialDevice::open(busy.slavePath());
    ASSERT_TRUE(otherUser);
    counter.setPort("");
    EXPECT_FALSE(Connect(true));
    ASSERT_TRUE(counter.openFailure());
    EXPECT_EQ(counter.openFailure()->port, "COM3");
    EXPECT_EQ(counter.openFailure()->failure.cause, platform::OpenFailureCause::InUse);
}

// The counter on COM7 is pulled out; what comes back under the same link decides. (The window's
// tests see the same counter come back.)
class Replug : public CounterLine {
protected:
    void SetUp() override {
        CounterLine::SetUp();
        QObject::connect(&reconnector, &recording::Reconnector::reconnected,
                         [this](const std::string& port, std::int64_t) { reconnectedOn = port; });
        connectTo(7).unplug();
        ASSERT_TRUE(pumpUntil([&] { return counter.deviceGone(); }, 3s));
        ports.clear(); // its link goes with it
    }

    recording::Reconnector reconnector{counter, nullptr, 50};
    std::string reconnectedOn;
};

TEST_F(Replug, NoOtherDeviceNorAnotherCounterIsTaken) {
    ScriptedCounter& elsewhere = addPort(8); // the same counter's answer, another device
    elsewhere.answer("I", "kelvo");
    ScriptedCounter& other = addPort(7);
    other.answer("I", "kelvo FC-9");
    talvek::test::pumpFor(2s);
    EXPECT_EQ(reconnectedOn, "");
    EXPECT_TRUE(counter.deviceGone());
    EXPECT_EQ(elsewhere.received(), "");
    EXPECT_EQ(other.received().substr(0, 3), kIdentify);
    counter.disconnectFromInstrument();
    EXPECT_TRUE(pumpUntil([&] { return !reconnector.waiting(); }, 1s));
}

} // namespace
