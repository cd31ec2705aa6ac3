// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"
#include "tests/support/pty_pair.h"
#include "tests/support/timers_turn.h"

#include "analysis/deviation_table.h"
#include "analysis/stability.h"
#include "app/commands_page.h"
#include "app/log_view.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "platform/clock.h"
#include "platform/port_links.h"
#include "platform/serial_device.h"
#include "portselect/port_selector.h"
#include "recording/float_text.h"
#include "recording/session.h"
#include "serial/serial_port.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <thread>

namespace {

// The page's first choice: the Allan deviation alone.
analysis::StabilityOptions allanOnly() {
    analysis::StabilityOptions options;
    options.kinds = {analysis::Deviation::Allan};
    return options;
}

using WindowConnectTest = WindowTest;

// A display dump: "av", 15 unused characters, the unit field, a blank, the 11-character number.
std::string displayDump(const std::string& unit, const std::string& number) {
    return "av" + std::string(15, '-') + unit + " " + number;
}

TEST_F(WindowConnectTest, ConnectShowsDeviceAndPortAndPreparesTheGraph) {
    app::MainWindow& form = open();
    form.graphPage().plot()->addTrace(true, {{1, 1}});
    EXPECT_EQ(form.settings().savedPort, "");
    connectCounter();
    EXPECT_EQ(caption(), "Connected to kelvo FC-2-counter on port COM7");
    EXPECT_TRUE(form.connectPage().connectButton()->isChecked());
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Disconnect");
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.settings().savedPort, "COM7");
    EXPECT_NE(form.startTime(), 0.0);
    EXPECT_TRUE(form.graphPage().plot()->rulerOn());
    // The old traces are gone, trace 0 is new and empty.
    ASSERT_EQ(form.graphPage().plot()->traces().size(), 1u);
    EXPECT_FALSE(form.graphPage().plot()->traces()[0].rightAxis);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.size(), 0u);
    EXPECT_EQ(scriptedCounter.received(), "\x1bI\r");

    form.connectPage().connectButton()->click();
    EXPECT_EQ(caption(), "KELVO frequency counter disconnected");
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Connect");
    EXPECT_FALSE(form.counter().isConnected());
}

TEST_F(WindowConnectTest, WindowIsDisabledAndBusyWhileConnecting) {
    app::MainWindow& form = open();
    std::vector<std::pair<bool, std::string>> seen;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { seen.emplace_back(form.isEnabled(), caption()); });
    probe.start(5);
    scriptedCounter.answer("I", ""); // a silent counter: the identify wait runs its full time
    connectCounter();
    probe.stop();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(false, std::string("busy...")));
    EXPECT_EQ(caption(), "Connected to unknown on port COM7");
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(WindowConnectTest, FailedConnectEmptiesTheLogButKeepsTheGraph) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000.5", 1);
    form.connectPage().connectButton()->click(); // disconnect keeps log and graph
    EXPECT_EQ(form.log().count(), 1);
    ASSERT_EQ(form.graphPage().plot()->traces().size(), 1u);

    form.connectPage().portSelector()->setPort("COM7");
    std::filesystem::remove(std::filesystem::path(folderFile("talvek/ports/com7")));
    connectCounter();
    EXPECT_EQ(caption(), "KELVO frequency counter not found");
    EXPECT_FALSE(form.connectPage().connectButton()->isChecked());
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Connect");
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.log().count(), 0);
    ASSERT_EQ(form.graphPage().plot()->traces().size(), 1u);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.size(), 1u);
}

TEST_F(WindowConnectTest, FailedConnectSaysWhyInTheStatusBar) {
    app::MainWindow& form = open();
    {
        const auto otherProgram = platform::SerialDevice::open(scriptedCounter.slavePath());
        ASSERT_TRUE(otherProgram);
        connectCounter();
        EXPECT_EQ(caption(), "KELVO frequency counter not found");
        EXPECT_EQ(form.statusText(),
                  scriptedCounter.slavePath() + " (COM7) is in use by another program");
    }
    std::filesystem::remove(std::filesystem::path(folderFile("talvek/ports/com7")));
    connectCounter();
    EXPECT_EQ(form.statusText(), "Serial device COM7 not found (unplugged?)");
    EXPECT_TRUE(dialogs->errors.empty());
}

TEST_F(WindowConnectTest, ScanConnectShowsTheConnectedPortInTheSelector) {
    const std::filesystem::path link = folderFile("talvek/ports/com7");
    std::filesystem::remove(link);
    app::MainWindow& form = open(); // no port to list yet
    std::filesystem::create_symlink(scriptedCounter.slavePath(), link);
    connectCounter();
    ASSERT_TRUE(form.counter().isConnected());
    EXPECT_TRUE(form.connectPage().portSelector()->currentText().startsWith("COM7"));
    EXPECT_EQ(form.connectPage().selectedPort(), "COM7");
}

TEST_F(WindowConnectTest, CounterThatComesBackIsReconnectedIntoTheSameSession) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000.5", 1);
    scriptedCounter.unplug();
    ASSERT_TRUE(waitFor([&] { return form.statusText().find("is gone") != std::string::npos; }));
    std::filesystem::remove(std::filesystem::path(folderFile("talvek/ports/com7")));
    nowMs += 2500;
    talvek::test::ScriptedCounter again(platform::userPortLinkFolder(), 7);
    again.answer("I", "kelvo FC-2");
    EXPECT_TRUE(waitFor([&] {
        return form.statusText() == "Serial device COM7 reconnected; 2.5 s lost.";
    })) << form.statusText();
    ASSERT_TRUE(talvek::test::waitForTimersTurn(&form)); // the lost-device message stays away
    EXPECT_EQ(form.statusText(), "Serial device COM7 reconnected; 2.5 s lost.");
    again.send("10000001.5");
    EXPECT_TRUE(waitFor([&] { return form.log().count() == 2; }));
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.size(), 2u);
    EXPECT_EQ(caption(), "Connected to kelvo FC-2-counter on port COM7");
}

TEST_F(WindowConnectTest, MenuEntryTogglesTheConnection) {
    app::MainWindow& form = open();
    talvek::test::findMenuAction(form.displayPage().menu(), {"Connect/Disconnect"})->trigger();
    ASSERT_TRUE(waitFor([&] { return form.isEnabled(); }));
    EXPECT_TRUE(form.counter().isConnected());
    EXPECT_TRUE(form.connectPage().connectButton()->isChecked());
    talvek::test::findMenuAction(form.graphPage().menu(), {"Connect/Disconnect"})->trigger();
    EXPECT_FALSE(form.counter().isConnected());
    EXPECT_FALSE(form.connectPage().connectButton()->isChecked());
    EXPECT_EQ(caption(), "KELVO frequency counter disconnected");
}

TEST_F(WindowConnectTest, CloseWhileConnectedDisconnectsAndRefusesOnce) {
    app::MainWindow& form = open();
    connectCounter();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.counter().isConnected());
    EXPECT_EQ(form.statusText(), "Serial connection closed. Try to close window again!");
    EXPECT_EQ(caption(), "KELVO frequency counter disconnected");
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
    EXPECT_TRUE(form.close());
    EXPECT_EQ(fileBytes(settingsFile()).substr(0, 6), "COM7\r\n");
    EXPECT_TRUE(std::filesystem::exists(folderFile("last_measurement.dat")));
}

TEST_F(WindowConnectTest, UnpluggedDeviceIsReportedUntilTheUserDisconnects) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000.5", 1);
    scriptedCounter.unplug();
    const std::string gone =
        "Serial device COM7 is gone (unplugged?). Disconnect and connect again.";
    EXPECT_TRUE(waitFor([&] { return form.statusText() == gone; })) << form.statusText();
    EXPECT_TRUE(form.counter().isConnected()); // the user decides when to disconnect
    form.connectPage().connectButton()->click();
    EXPECT_FALSE(form.counter().isConnected());
    ASSERT_TRUE(talvek::test::waitForTimersTurn(&form)); // no watch turn brings the message back
    EXPECT_EQ(form.statusText(), "");
    EXPECT_EQ(form.log().count(), 1);
}

TEST_F(WindowConnectTest, LostTelegramsStayInTheStatusBarUntilTheNextConnect) {
    app::MainWindow& form = open();
    connectCounter();
    EXPECT_EQ(form.lossText(), "");
    auto* port = form.counter().findChild<serial::SerialPort*>();
    ASSERT_NE(port, nullptr);
    emit port->telegramsDropped(5);
    sendReading("10000000.5", 1); // replaces the status text, not the note of the loss
    emit port->telegramsDropped(2);
    EXPECT_EQ(form.statusText(), "10000000.5");
    EXPECT_EQ(form.lossText(), "7 telegrams lost: the window fell behind the line");
    form.connectPage().connectButton()->click();
    EXPECT_NE(form.lossText(), ""); // the measurement that has the gap is still there
    connectCounter();
    EXPECT_EQ(form.lossText(), "");
}

// Lost telegrams are a gap: a row of the log before the next reading, a break of the graph's
// line there, and the stability split into the readings before and after it.
TEST_F(WindowConnectTest, LostTelegramsAreAGapInTheLogTheGraphAndTheStability) {
    app::MainWindow& form = open();
    connectCounter();
    auto* port = form.counter().findChild<serial::SerialPort*>();
    ASSERT_NE(port, nullptr);
    nowMs += 1000;
    sendReading("10000000.5", 1);
    nowMs += 1000;
    sendReading("10000000.6", 2);
    emit port->telegramsDropped(5);
    nowMs += 1000;
    sendReading("10000000.7", 3);
    const char sep = recording::machineDecimalSeparator();
    ASSERT_EQ(form.log().rowCount(), 4);
    EXPECT_EQ(form.log().rowText(2), std::string("2000        gap of 1 s: 5 telegrams lost"));
    EXPECT_EQ(form.log().rowText(3), std::string("3000        10000000") + sep + "7");
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.breaks(), std::vector<std::size_t>{2});
    form.pages()->setCurrentWidget(&form.stabilityPage());
    EXPECT_TRUE(waitFor([&] { return form.stabilityPage().shown().values == 3; }));
    EXPECT_EQ(form.stabilityPage().shown().segments, 2);
}

TEST_F(WindowConnectTest, PickingAPortChangesOnlySavedPort) {
    // A second line, so there is another port to pick.
    const talvek::test::PtyPair otherLine;
    std::filesystem::create_symlink(otherLine.slavePath(),
                                    std::filesystem::path(folderFile("talvek/ports/com8")));
    writeBytes(settingsFile(), "COM7\r\n");
    app::MainWindow& form = open();
    connectCounter();
    portselect::PortSelector& selector = *form.connectPage().portSelector();
    const auto com8 =
        std::find_if(selector.shownPorts.begin(), selector.shownPorts.end(),
                     [](const portselect::PortEntry& port) { return port.name == "COM8"; });
    ASSERT_NE(com8, selector.shownPorts.end());
    selector.activated(static_cast<int>(com8 - selector.shownPorts.begin()));
    EXPECT_EQ(form.settings().savedPort, "COM8");
    EXPECT_TRUE(form.counter().isConnected());
    EXPECT_EQ(form.counter().port(), "COM7");
}

TEST_F(WindowConnectTest, ReadingIsLoggedDisplayedAndPlotted) {
    app::MainWindow& form = open();
    connectCounter();
    nowMs += 2000;
    sendReading("10000000.5", 1);
    const char sep = recording::machineDecimalSeparator();
    EXPECT_EQ(form.log().line(0), std::string("2000        10000000") + sep + "5");
    EXPECT_EQ(form.statusText(), "10000000.5");
    EXPECT_EQ(form.displayPage().readingLabel()->text(), "10 000 000.5  Hz");
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/Hz");
    EXPECT_EQ(form.graphPage().plot()->leftAxis().scaleFactor, 1.0);
    ASSERT_EQ(form.graphPage().plot()->traces()[0].points.size(), 1u);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points[0].x, 2.0);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points[0].y, 10000000.5);

    nowMs += 1;
    sendReading("10000001", 2);
    EXPECT_EQ(form.log().line(1), "2001        10000001");
    // The newest line is scrolled into view.
    QCoreApplication::processEvents();
    const app::LogView& view = *form.connectPage().logView();
    EXPECT_TRUE(view.viewport()->rect().contains(view.rowRect(1)));
    EXPECT_GE(view.rowHeight(), QFontMetrics(view.font()).height());
}

// Each reading feeds the stability page; hidden, it only catches up when it shows.
TEST_F(WindowConnectTest, ReadingsFeedTheStabilityPageWhichRefreshesWhenShown) {
    app::MainWindow& form = open();
    connectCounter();
    std::vector<analysis::Reading> readings;
    for (int i = 0; i < 12; ++i) {
        nowMs += 100;
        const double value = 10000000 + (i * 7 % 5);
        readings.push_back({100.0 * (i + 1), value});
        sendReading(std::to_string(static_cast<int>(value)), i + 1);
    }
    ASSERT_TRUE(talvek::test::waitForTimersTurn(&form));
    EXPECT_EQ(form.stabilityPage().table()->rowCount(), 0);
    EXPECT_EQ(form.stabilityPage().analysesStarted(), 0);
    form.pages()->setCurrentWidget(&form.stabilityPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().upToDate(); }));
    const auto expected = analyzeReadings(readings, allanOnly());
    ASSERT_EQ(form.stabilityPage().table()->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(form.stabilityPage().table()->item(row, 4)->text().toStdString(),
                  analysis::deviationCells(expected.points[row]).value);
    }
    window->connectPage().connectButton()->click();
    connectCounter();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().table()->rowCount() == 0; }));
}

TEST_F(WindowConnectTest, TimeStampsFollowTheMonotonicClockFromTheConnectAttempt) {
    app::MainWindow& form = open();
    nowMs = 5'000'000;
    connectCounter();
    nowMs += 123;
    sendReading("10000000", 1);
    sendReading("10000000", 2); // the same moment twice
    nowMs += 60'000;
    sendReading("10000000", 3);
    EXPECT_EQ(form.log().line(0).substr(0, 11), "123        ");
    EXPECT_EQ(form.log().line(1).substr(0, 11), "123        ");
    EXPECT_EQ(form.log().line(2).substr(0, 13), "60123        ");
}

// A reading is stamped when its bytes arrive, not when a busy main thread gets to it: a window
// whose event loop stands still must not pile the readings of that while onto one moment.
TEST_F(WindowConnectTest, ReadingsKeepTheirArrivalTimesWhileTheWindowStalls) {
    realClock = true;
    app::MainWindow& form = open();
    connectCounter();
    constexpr int kReadings = 60; // 10 a second, for six seconds
    std::vector<std::int64_t> writtenMs(kReadings);
    std::atomic<int> written{0};
    std::thread line([&] {
        for (int i = 0; i < kReadings; ++i) {
            std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                          std::chrono::milliseconds(100));
            scriptedCounter.send("1000000" + std::to_string(i % 10));
            writtenMs[i] = platform::monotonicMs();
            written = i + 1;
        }
    });
    ASSERT_TRUE(waitFor([&] { return form.log().count() >= 1; }));
    std::this_thread::sleep_for(std::chrono::seconds(5)); // the stall itself
    line.join();
    ASSERT_TRUE(waitFor([&] { return form.log().count() == kReadings; }));
    const double firstMs = form.log().reading(0).timeMs;
    for (int i = 1; i < kReadings; ++i) {
        EXPECT_NEAR(form.log().reading(i).timeMs - firstMs,
                    static_cast<double>(writtenMs[i] - writtenMs[0]), 15)
            << "reading " << i;
    }
}

// The instrument is chosen in the port selector's menu and kept beside the settings; a
// time-interval counter is asked nothing and its lines are phase readings in seconds.
TEST_F(WindowConnectTest, ATimeIntervalCounterChosenInTheSelectorsMenuReadsPhase) {
    app::MainWindow& form = open();
    talvek::test::findMenuAction(form.connectPage().portSelector()->popupMenu(),
                                 {"Instrument", "time-interval counter (TICC)"})
        ->trigger();
    form.connectPage().connectButton()->click();
    scriptedCounter.send("16.000000123456 chA"); // the first line tells the counter is there
    ASSERT_TRUE(waitFor([&] { return form.isEnabled(); }));
    EXPECT_EQ(caption(), "Connected to TICC on port COM7");
    sendReading("17.000000123457 chA", 1);
    sendReading("0.000000000002 TI(A->B)", 2);
    EXPECT_EQ(form.log().reading(0).value, 123.457e-9);
    EXPECT_EQ(form.log().reading(1).value, 2e-12);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Phase/s");
    EXPECT_EQ(form.commandsPage().commandMenu()->actions().size(), 1)
        << "no commands: only Connect/Disconnect";
    EXPECT_EQ(scriptedCounter.received(), "") << "nothing is sent to it";

    form.connectPage().connectButton()->click();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(fileBytes(folderFile("instrument.conf")), "tic\n");
    const std::string settings = fileBytes(settingsFile());
    EXPECT_EQ(std::count(settings.begin(), settings.end(), '\n'), 9)
        << "the settings keep their nine lines";
    window.reset();
    app::MainWindow& again = open();
    EXPECT_EQ(again.connectPage().instrument().name(), "tic");
    EXPECT_EQ(again.session().instrument().name(), "tic");
}

TEST_F(WindowConnectTest, PeriodReadingSetsThePeriodCaption) {
    app::MainWindow& form = open();
    connectCounter();
    talvek::test::findMenuAction(form.graphPage().menu(), {"Frequency unit", "MHz"})->trigger();
    sendReading(displayDump(" us", "      1.500"), 1);
    EXPECT_EQ(form.log().line(0).substr(form.log().line(0).size() - 6), "1.5E-6");
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Period/s");
    EXPECT_EQ(form.graphPage().plot()->leftAxis().scaleFactor,
              1e-6); // a period leaves the factor alone
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("1.500   us"))
        << form.displayPage().readingLabel()->text().toStdString();
}

TEST_F(WindowConnectTest, MegahertzPlotsTenForTenMegahertz) {
    app::MainWindow& form = open();
    connectCounter();
    talvek::test::findMenuAction(form.graphPage().menu(), {"Frequency unit", "MHz"})->trigger();
    EXPECT_EQ(form.settings().frequencyDivisor, 1e6);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/MHz");
    sendReading(displayDump("MHz", "  10.000000"), 1);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/MHz");
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points[0].y *
                  form.graphPage().plot()->leftAxis().scaleFactor,
              10.0);
    EXPECT_EQ(form.log().line(0).substr(form.log().line(0).size() - 8), "10000000");
}

TEST_F(WindowConnectTest, UnitEntriesSetDivisorCaptionAndFactor) {
    app::MainWindow& form = open();
    const struct {
        std::vector<std::string> entry;
        double divisor;
        const char* Caption;
    } time[] = {{{"Time unit", "minutes"}, 60, "Time/min"},
                {{"Time unit", "hours"}, 3600, "Time/h"},
                {{"Time unit", "seconds"}, 1, "Time/s"}},
      frequency[] = {{{"Frequency unit", "kHz"}, 1e3, "Frequency/kHz"},
                     {{"Frequency unit", "GHz"}, 1e9, "Frequency/GHz"},
                     {{"Frequency unit", "Hz"}, 1, "Frequency/Hz"}};
    for (const auto& c : time) {
        talvek::test::findMenuAction(form.graphPage().menu(), c.entry)->trigger();
        EXPECT_EQ(form.settings().timeDivisor, c.divisor);
        EXPECT_EQ(form.graphPage().plot()->xAxis().caption, c.Caption);
        EXPECT_DOUBLE_EQ(form.graphPage().plot()->xAxis().scaleFactor, 1 / c.divisor);
    }
    for (const auto& c : frequency) {
        talvek::test::findMenuAction(form.graphPage().menu(), c.entry)->trigger();
        EXPECT_EQ(form.settings().frequencyDivisor, c.divisor);
        EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, c.Caption);
        EXPECT_DOUBLE_EQ(form.graphPage().plot()->leftAxis().scaleFactor, 1 / c.divisor);
    }
}

TEST_F(WindowConnectTest, OddDivisorKeepsTheCaptionAndScales) {
    writeBytes(settingsFile(), "COM7\r\n 1.00000000000000E+0000\r\n 5.00000000000000E+0002\r\n");
    app::MainWindow& form = open();
    connectCounter();
    graph::AxisSettings left = form.graphPage().plot()->leftAxis();
    left.caption = "Period/s";
    form.graphPage().plot()->setLeftAxis(left);
    sendReading("10000000", 1);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Period/s");
    EXPECT_EQ(form.graphPage().plot()->leftAxis().scaleFactor, 1.0 / 500);
}

TEST_F(WindowConnectTest, ClearEmptiesTheGraphButNotTheLog) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000", 1);
    sendReading("10000001", 2);
    talvek::test::findMenuAction(form.graphPage().menu(), {"Clear"})->trigger();
    ASSERT_EQ(form.graphPage().plot()->traces().size(), 1u);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.size(), 0u);
    EXPECT_EQ(form.log().count(), 2);
    sendReading("10000002", 3);
    EXPECT_EQ(form.graphPage().plot()->traces()[0].points.size(), 1u);
}

TEST_F(WindowConnectTest, ConnectedPortIsSavedOnClose) {
    writeBytes(settingsFile(), "COM99\r\n");
    app::MainWindow& form = open();
    connectCounter();
    form.connectPage().connectButton()->click();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(fileBytes(settingsFile()).substr(0, 6), "COM7\r\n");
}

} // namespace
