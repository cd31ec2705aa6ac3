// A user's whole session against the virtual counter: pick the port, connect, measure in both
// telegram formats and in period mode, change gate time and units, zoom, read the ruler, save,
// close; then both sides of the line are compared.

#include "tests/e2e/e2e_fixture.h"

#include "counter/float_text.h"
#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"

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
    std::string LastReply() const {
        const int n = Form->commandsPage().replyList()->count();
        return n ? Form->commandsPage().replyList()->item(n - 1)->text().toLatin1().toStdString()
                 : "";
    }

    // Measures once and waits for the reading.
    void MeasureSingle() {
        const int before = LogCount();
        Command({"Measure", "single"});
        ASSERT_TRUE(WaitFor([&] { return LogCount() == before + 1; }));
    }

    // Measures continuously until `count` more readings are in, then stops and lets the line
    // settle.
    void MeasureContinuous(int count) {
        const int before = LogCount();
        Command({"Measure", "continuous"});
        ASSERT_TRUE(WaitFor([&] { return LogCount() >= before + count; }, 10000));
        Command({"Measure", "stop"});
        EXPECT_EQ(LastReply(), "OK");
        WaitLogQuiet();
    }

    void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers keys, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(Form->graphPage().plot()->mapToGlobal(at)),
                          button, held, keys);
        QCoreApplication::sendEvent(Form->graphPage().plot(), &event);
        QCoreApplication::processEvents();
    }

    // A point of the plot rectangle at the given fractions of its width and height.
    QPoint Inside(double fx, double fy) const {
        const plot::Mapping& m = Form->graphPage().plot()->engine().mapping();
        return {m.mapLeft + int(m.mapWidth * fx),
                m.mapBottom - m.mapHeight + int(m.mapHeight * fy)};
    }
};

TEST_F(SessionTest, UserSessionLogsEveryReadingOnceOnScreenAndInFiles) {
    if (qEnvironmentVariableIsSet("TALVEK_EXPECT_DECIMAL_COMMA")) {
        ASSERT_EQ(counter::machineDecimalSeparator(), ',') << "the comma run has no comma locale";
    }
    TVirtualCounter& counter = StartCounter({"--start", "idle", "--seed", "11"}, "sent.log");
    app::MainWindow& form = OpenWindow();
    counter::Reading lastReading;
    QObject::connect(&form.counter(), &counter::KelvoCounter::readingReceived,
                     [&lastReading](const counter::Reading& reading) { lastReading = reading; });
    TStallMeter stalls;

    PickPort(counter.Com);
    EXPECT_EQ(form.settings().savedPort, counter.Com);
    PressConnect();
    EXPECT_EQ(Caption(), "Connected to kelvo FC-3000 V2.1 virtual-counter on port " + counter.Com);
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Disconnect");

    // Display dump at the 0.1 s gate.
    Command({"Gate Time", "0.1s"});
    EXPECT_EQ(LastReply(), "OK");
    MeasureSingle();
    EXPECT_EQ(form.statusText().substr(0, 2), "av");
    EXPECT_EQ(form.statusText().size(), 32u);
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  MHz"))
        << form.displayPage().readingLabel()->text().toStdString();
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/Hz");
    MeasureContinuous(10);

    // Hertz values.
    Command({"COM Telegram", "Hertz value"});
    EXPECT_EQ(LastReply(), "OK");
    MeasureSingle();
    EXPECT_NE(form.statusText().substr(0, 2), "av");
    EXPECT_LE(form.statusText().size(), 14u);
    EXPECT_NEAR(lastReading.value, 1e7, 100);
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  Hz"))
        << form.displayPage().readingLabel()->text().toStdString();
    MeasureContinuous(10);

    // Period mode shows in the display dump.
    Command({"COM Telegram", "display dump"});
    Command({"Mode", "Period"});
    EXPECT_EQ(LastReply(), "OK");
    MeasureSingle();
    EXPECT_TRUE(lastReading.isPeriod);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Period/s");
    EXPECT_NEAR(lastReading.value, 1e-7, 1e-12);
    MeasureContinuous(5);
    Command({"Mode", "Frequency"});
    Command({"Gate Time", "1s"});
    EXPECT_EQ(LastReply(), "OK");
    MeasureSingle();
    EXPECT_FALSE(lastReading.isPeriod);

    // Units of the graph.
    Choose(form.graphPage().menu(), {"Time unit", "minutes"});
    Choose(form.graphPage().menu(), {"Frequency unit", "MHz"});
    EXPECT_EQ(form.graphPage().plot()->xAxis().caption, "Time/min");
    EXPECT_DOUBLE_EQ(form.graphPage().plot()->xAxis().scaleFactor, 1.0 / 60);
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/MHz");
    EXPECT_DOUBLE_EQ(form.graphPage().plot()->leftAxis().scaleFactor, 1e-6);

    // The graph page: zoom with Ctrl and a drag, read the ruler, unzoom.
    form.pages()->setCurrentWidget(&form.graphPage());
    QTest::qWait(100);
    const plot::ZoomWindow& zoom = form.graphPage().plot()->engine().plotArea(1).zoomWindow;
    ASSERT_EQ(zoom.xLow, 0.0);
    ASSERT_EQ(zoom.xHigh, 1.0);
    const QPoint from = Inside(0.25, 0.05);
    const QPoint to = Inside(0.75, 0.95);
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier, from);
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, (from + to) / 2);
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier, to);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier, to);
    QTest::qWait(100);
    EXPECT_NEAR(zoom.xLow, 0.25, 0.01);
    EXPECT_NEAR(zoom.xHigh, 0.75, 0.01);

    const QImage before = form.graphPage().plot()->picture().copy();
    const QPoint at = Inside(0.5, 0.5);
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, at);
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, at);
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
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier, at);
    Choose(form.graphPage().menu(), {"Unzoom"});
    QTest::qWait(100);
    EXPECT_EQ(zoom.xLow, 0.0);
    EXPECT_EQ(zoom.xHigh, 1.0);

    // Save both formats through the log's popup menu.
    Dialogs->SaveAnswer = FolderFile("run.dat");
    Choose(form.connectPage().logMenu(), {"save data to file"});
    Dialogs->SaveAnswer = FolderFile("run.csv");
    Choose(form.connectPage().logMenu(), {"save data to file"});

    // Closing while connected disconnects and is refused once.
    EXPECT_FALSE(form.close());
    EXPECT_EQ(form.statusText(), "Serial connection closed. Try to close window again!");
    EXPECT_FALSE(form.counter().isConnected());
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(Dialogs->Errors.empty());
    EXPECT_LT(stalls.LongestMs(), 1000);

    // Both sides of the line agree, on screen and in every file.
    const std::vector<TLoggedReading> logged = LoggedReadings();
    EXPECT_GE(logged.size(), 1u + 10 + 1 + 10 + 1 + 5 + 1);
    EXPECT_EQ(CompareReadings(counter.Sent(), logged), "");
    EXPECT_EQ(counter.SentReadings().size(), logged.size());

    const std::vector<std::string> last = FileLines(FolderFile("last_measurement.dat"));
    ASSERT_EQ(last.size(), logged.size() + 3);
    EXPECT_EQ(last[0], "/* KELVO counter data: t/ms, f/Hz");
    EXPECT_EQ(last[2], "/*");
    EXPECT_EQ(FileLines(FolderFile("run.dat")), last);
    const std::vector<std::string> csv = FileLines(FolderFile("run.csv"));
    ASSERT_EQ(csv.size(), logged.size());
    double previousMs = -1;
    for (std::size_t i = 0; i < logged.size(); ++i) {
        std::istringstream dat(last[i + 3]);
        double ms = 0;
        double value = 0;
        dat >> ms >> value;
        EXPECT_EQ(ms, logged[i].TimeMs) << i;
        EXPECT_NEAR(value, logged[i].Value, 1e-13 * std::fabs(logged[i].Value)) << i;
        EXPECT_GE(ms, previousMs) << i;
        previousMs = ms;
        // The same numbers, with ";" between them and the machine's decimal separator.
        std::string expected = last[i + 3];
        for (char& c : expected) {
            c = c == ' ' ? ';' : c == '.' ? counter::machineDecimalSeparator() : c;
        }
        EXPECT_EQ(csv[i], expected) << i;
    }

    const std::vector<std::string> settings = FileLines(FolderFile("Zorvimet.ini"));
    ASSERT_EQ(settings.size(), 9u);
    EXPECT_EQ(settings[0], counter.Com);
    EXPECT_EQ(settings[1], " 6.00000000000000E+0001");
    EXPECT_EQ(settings[2], " 1.00000000000000E+0006");
}

} // namespace
