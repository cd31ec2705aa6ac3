// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/driver.h"
#include "counter/kelvo_profile.h"
#include "counter/tic_profile.h"
#include "platform/port_catalog.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_serial_machine.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using counter::Driver;
using talvek::test::pumpUntil;
using namespace std::chrono_literals;

namespace {

class DriverAndVirtualCounter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        // Only the test's own links are ports; the machine's serial devices are never touched.
        const std::string none = home.filePath("none").toStdString();
        platform::installSystemPortCatalog(
            std::make_shared<platform::PortCatalog>(platform::MachineFolders{none, none, none}));
        ASSERT_TRUE(instrument.start(VIRTUAL_KELVO_PATH,
                                     {"--com", "31", "--start", "idle", "--seed", "7"}));
        EXPECT_EQ(instrument.readOutput(5000).rfind("virtual-kelvo serving COM31", 0), 0u);
        QObject::connect(&counter, &Driver::readingReceived, [this](const counter::Reading& r) {
            values.push_back(r.value);
            last = r;
        });
        QObject::connect(&counter, &Driver::statusReceived,
                         [this](const std::string& s) { lastStatus = s; });
    }
    void TearDown() override {
        counter.disconnectFromInstrument();
        instrument.stop();
    }
    // Keeps the event loop turning until `count` readings are in or the time is up.
    void waitForReadings(std::size_t count, std::chrono::milliseconds timeout) {
        pumpUntil([&] { return values.size() >= count; }, timeout);
    }
    // Sends a command and keeps the event loop turning until its reply wait has ended: whether
    // the counter answered.
    bool Answered(const std::function<bool()>& command) {
        std::optional<bool> answered;
        const auto c = QObject::connect(&counter, &Driver::commandFinished,
                                        [&](bool a) { answered = answered.value_or(a); });
        if (command()) {
            pumpUntil([&] { return answered.has_value(); }, 10s);
        }
        QObject::disconnect(c);
        return answered.value_or(false);
    }

    QTemporaryDir home;
    talvek::test::ChildProcess instrument;
    // The command of the KELVO's table for a set-up role and setting.
    bool send(counter::SetupRole role, std::string_view setting = {}) {
        const counter::InstrumentCommand* command = counter::findCommand(kelvo, role, setting);
        return command && counter.sendCommand(*command);
    }

    const counter::KelvoProfile kelvo;
    Driver counter{kelvo};
    std::vector<double> values;
    counter::Reading last;
    std::string lastStatus;
};

TEST_F(DriverAndVirtualCounter, IdentifiesMeasuresAndObeysCommands) {
    counter.setPort("COM31");
    std::optional<bool> connected;
    QObject::connect(&counter, &Driver::connectFinished,
                     [&](bool outcome) { connected = outcome; });
    counter.connectToInstrument(true);
    pumpUntil([&] { return connected.has_value(); }, 10s);
    ASSERT_EQ(connected, true);
    EXPECT_EQ(counter.device().rfind("kelvo", 0), 0u);
    EXPECT_EQ(counter.device().substr(counter.device().size() - 8), "-counter");

    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Gate, "0.1"); }));
    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Start); }));
    waitForReadings(5, 5s);
    ASSERT_GE(values.size(), 5u);
    for (double v : values) {
        EXPECT_NEAR(v, 10e6, 1000.0);
    }
    EXPECT_FALSE(last.isPeriod());
    EXPECT_EQ(last.telegram.size(), 32u);

    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Format, "hertz"); }));
    values.clear();
    waitForReadings(3, 5s);
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(last.unitText, "Hz");
    EXPECT_EQ(last.valueText, last.telegram);

    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Mode, "period"); }));
    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Format, "dump"); }));
    values.clear();
    waitForReadings(3, 5s);
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(last.isPeriod());
    EXPECT_NEAR(values.back(), 1e-7, 1e-10);

    EXPECT_TRUE(Answered([&] { return send(counter::SetupRole::Stop); }));
    EXPECT_EQ(lastStatus, "OK");
}

} // namespace

namespace {

// A time-interval counter is asked nothing: the driver knows it by its first reading line and
// takes every line after it as a phase reading.
TEST(DriverAndVirtualTic, ConnectsOnItsLinesAndReadsThemAsPhase) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    const std::string none = home.filePath("none").toStdString();
    platform::installSystemPortCatalog(
        std::make_shared<platform::PortCatalog>(platform::MachineFolders{none, none, none}));
    for (const char* format : {"timestamp", "interval"}) {
        SCOPED_TRACE(format);
        VirtualCounter tic(home.path().toStdString(), home.filePath("sent.log").toStdString());
        ASSERT_TRUE(
            tic.start({"--instrument", "tic", "--format", format, "--gate", "0.1", "--seed", "3"}));
        const counter::TicProfile profile;
        Driver driver(profile);
        std::vector<counter::Reading> readings;
        QObject::connect(&driver, &Driver::readingReceived,
                         [&](const counter::Reading& r) { readings.push_back(r); });
        std::optional<bool> connected;
        QObject::connect(&driver, &Driver::connectFinished, [&](bool c) { connected = c; });
        driver.setPort(tic.comName);
        driver.connectToInstrument(true);
        ASSERT_TRUE(pumpUntil([&] { return connected.has_value(); }, 10s));
        ASSERT_EQ(connected, true);
        EXPECT_EQ(driver.device(), "TICC");
        ASSERT_TRUE(pumpUntil([&] { return readings.size() >= 10; }, 10s));
        driver.disconnectFromInstrument();

        const std::vector<SentTelegram> sent = tic.sentReadings();
        for (const counter::Reading& reading : readings) {
            EXPECT_EQ(reading.quantity, counter::Quantity::Phase);
            const auto same = std::find_if(sent.begin(), sent.end(), [&](const SentTelegram& s) {
                return s.text == reading.telegram;
            });
            ASSERT_NE(same, sent.end()) << reading.telegram;
            EXPECT_NEAR(reading.value, same->value.value_or(1), 1e-18) << reading.telegram;
            EXPECT_LT(std::abs(reading.value), 1e-6) << "a phase of nanoseconds";
        }
        tic.stop();
    }
}

} // namespace
