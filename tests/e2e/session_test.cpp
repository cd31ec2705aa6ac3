// SPDX-License-Identifier: GPL-3.0-or-later
// A user's whole session against the virtual counter: pick the port, connect, measure in both
// telegram formats and in period mode, change gate time and units, zoom, read the ruler, save,
// close; then both sides of the line are compared.

#include "tests/e2e/e2e_fixture.h"

#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "recording/float_text.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>
#include <sstream>

namespace {

class SessionTest : public EndToEndTest {
protected:
    // The latest reply in the reply list.
    std::string lastReply() const {
        const int n = window->commandsPage().replyList()->count();
        return n ? window->commandsPage().replyList()->item(n - 1)->text().toLatin1().toStdString()
                 : "";
    }

    // Measures once and waits for the reading.
    void measureSingle() {
        const int before = logCount();
        command({"Measure", "single"});
        ASSERT_TRUE(waitFor([&] { return logCount() == before + 1; }));
    }

    // Measures continuously until `count` more readings are in, then stops and lets the line
    // settle.
    void measureContinuous(int count) {
        const int before = logCount();
        command({"Measure", "continuous"});
        ASSERT_TRUE(waitFor([&] { return logCount() >= before + count; }, 10000));
        command({"Measure", "stop"});
        EXPECT_EQ(lastReply(), "OK");
        waitLogQuiet();
    }

    void mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers keys, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(window->graphPage().plot()->mapToGlobal(at)),
                          button, held, keys);
        QCoreApplication::sendEvent(window->graphPage().plot(), &event);
        QCoreApplication::processEvents();
    }

    // A point of the plot rectangle at the given fractions of its width and height.
    QPoint inside(double fx, double fy) const {
        const plot::Mapping& m = window->graphPage().plot()->engine().mapping();
        return {m.mapLeft + int(m.mapWidth * fx),
                m.mapBottom - m.mapHeight + int(m.mapHeight * fy)};
    }
};

TEST_F(SessionTest, UserSessionLogsEveryReadingOnceOnScreenAndInFiles) {
    if (qEnvironmentVariableIsSet("TALVEK_EXPECT_DECIMAL_COMMA")) {
        ASSERT_EQ(recording::machineDecimalSeparator(), ',') << "the comma run has no comma locale";
    }
    VirtualCounter& counter = startCounter({"--start", "idle", "--seed", "11"}, "sent.log");
    app::MainWindow& form = openWindow();
    counter::Reading lastReading;
    QObject::connect(&form.counter(), &counter::Driver::readingReceived,
                     [&lastReading](const counter::Reading& reading) { lastReading = reading; });
    talvek::test::StallMeter stalls;

    pickPort(counter.comName);
    EXPECT_EQ(form.settings().savedPort, counter.comName);
    pressConnect();
    EXPECT_EQ(caption(),
              "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + counter.comName);
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Disconnect");

    // Display dump at the 0.1 s gate.
    command({"Gate Time", "0.1s"});
    EXPECT_EQ(lastReply(), "OK");
    measureSingle();
    EXPECT_EQ(form.statusText().substr(0, 2), "av");
    EXPECT_EQ(form.statusText().size(), 32u);
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  MHz"))
        << form.displayPage().readingLabel()->text().toStdString();
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/Hz");
    measureContinuous(10);

    // Hertz values.
    command({"COM Telegram", "Hertz value"});
    EXPECT_EQ(lastReply(), "OK");
    measureSingle();
    EXPECT_NE(form.statusText().substr(0, 2), "av");
    EXPECT_LE(form.statusText().size(), 14u);
    EXPECT_NEAR(lastReading.value, 1e7, 100);
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  Hz"))
        << form.displayPage().readingLabel()->text().toStdString();
    measureContinuous(10);

    // Period mode shows in the display dump.
    command({"COM Telegram", "display dump"});
    command({"Mode", "Period"});
    EXPECT_EQ(lastReply(), "OK");
    measureSingle();
    EXPECT_TRUE(lastReading.isPeriod());
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Period/s");
    EXPECT_NEAR(lastReading.value, 1e-7, 1e-12);
    measureContinuous(5);
    command({"Mode", "Frequency"});
    command({"Gate Time", "1s"});
    EXPECT_EQ(lastReply(), "OK");
    measureSingle();
    EXPECT_FALSE(lastReading.isPeriod());

    // Units of the graph.
    choose(form.graphPage().menu(), {"Time unit", "minutes"});
    choose(form.graphPage().menu(), {"Frequency unit", "MHz"});
    EXPECT_EQ(form.graphPage().plot()->xAxis().caption, "Time/min");
    EXPECT_DOUBLE_EQ(form.graphPage().plot()->xAxis().scaleFactor, 1.0 / 60);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/MHz");
    EXPECT_DOUBLE_EQ(form.graphPage().plot()->leftAxis().scaleFactor, 1e-6);

    // The graph page: zoom with Ctrl and a drag, read the ruler, unzoom.
    form.pages()->setCurrentWidget(&form.graphPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.graphPage().plot()->repaintPending(); }));
    const plot::ZoomWindow& zoom = form.graphPage().plot()->engine().plotArea(1).zoomWindow;
    ASSERT_EQ(zoom.xLow, 0.0);
    ASSERT_EQ(zoom.xHigh, 1.0);
    const QPoint from = inside(0.25, 0.05);
    const QPoint to = inside(0.75, 0.95);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier, from);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, (from + to) / 2);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, to);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier, to);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.graphPage().plot()->repaintPending(); }));
    EXPECT_NEAR(zoom.xLow, 0.25, 0.01);
    EXPECT_NEAR(zoom.xHigh, 0.75, 0.01);

    const QImage before = form.graphPage().plot()->picture().copy();
    const QPoint at = inside(0.5, 0.5);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, at);
    mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(form.graphPage().plot()->engine().interaction(), plot::Interaction::Ruler);
    EXPECT_EQ(form.graphPage().plot()->engine().rulerPosition().x(), at.x());
    // The time under the ruler lies in the middle of the zoomed half of the session (minutes).
    const double xs = form.graphPage()
                          .plot()
                          ->traces()[0]
                          .points[form.graphPage().plot()->traces()[0].points.size() - 1]
                          .x;
    EXPECT_NEAR(form.graphPage().plot()->engine().pixelToWorldX(at.x()), xs / 60 / 2,
                xs / 60 * 0.1);
    int readoutPixels = 0;
    const QImage held = form.graphPage().plot()->picture();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; ++x)
            readoutPixels += held.pixel(x, y) != before.pixel(x, y);
    EXPECT_GT(readoutPixels, 20); // the readout is written at the top left
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, at);
    choose(form.graphPage().menu(), {"Unzoom"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.graphPage().plot()->repaintPending(); }));
    EXPECT_EQ(zoom.xLow, 0.0);
    EXPECT_EQ(zoom.xHigh, 1.0);

    // Save both formats through the log's popup menu.
    dialogs->saveAnswer = folderFile("run.dat");
    choose(form.connectPage().logMenu(), {"save data to file"});
    dialogs->saveAnswer = folderFile("run.csv");
    choose(form.connectPage().logMenu(), {"save data to file"});

    // Closing while connected disconnects and is refused once.
    EXPECT_FALSE(form.close());
    EXPECT_EQ(form.statusText(), "Serial connection closed. Try to close window again!");
    EXPECT_FALSE(form.counter().isConnected());
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(dialogs->errors.empty());
    EXPECT_LT(stalls.longestMs(), 1000);

    // Both sides of the line agree, on screen and in every file.
    const std::vector<LoggedReading> logged = loggedReadings();
    EXPECT_GE(logged.size(), 1u + 10 + 1 + 10 + 1 + 5 + 1);
    EXPECT_EQ(compareReadings(counter.sent(), logged), "");
    EXPECT_EQ(counter.sentReadings().size(), logged.size());

    const std::vector<std::string> last = fileLines(folderFile("last_measurement.dat"));
    ASSERT_EQ(last.size(), logged.size() + 3);
    EXPECT_EQ(last[0], "/* KELVO counter data: t/ms, f/Hz");
    EXPECT_EQ(last[2], "/*");
    EXPECT_EQ(fileLines(folderFile("run.dat")), last);
    const std::vector<std::string> csv = fileLines(folderFile("run.csv"));
    ASSERT_EQ(csv.size(), logged.size());
    double previousMs = -1;
    for (std::size_t i = 0; i < logged.size(); ++i) {
        std::istringstream dat(last[i + 3]);
        double ms = 0;
        double value = 0;
        dat >> ms >> value;
        EXPECT_EQ(ms, logged[i].timeMs) << i;
        EXPECT_NEAR(value, logged[i].value, 1e-13 * std::fabs(logged[i].value)) << i;
        EXPECT_GE(ms, previousMs) << i;
        previousMs = ms;
        // The same numbers, with ";" between them and the machine's decimal separator.
        std::string expected = last[i + 3];
        for (char& c : expected) {
            c = c == ' ' ? ';' : c == '.' ? recording::machineDecimalSeparator() : c;
        }
        EXPECT_EQ(csv[i], expected) << i;
    }

    const std::vector<std::string> settings = fileLines(folderFile("Zorvimet.ini"));
    ASSERT_EQ(settings.size(), 9u);
    EXPECT_EQ(settings[0], counter.comName);
    EXPECT_EQ(settings[1], " 6.00000000000000E+0001");
    EXPECT_EQ(settings[2], " 1.00000000000000E+0006");
}

} // namespace
