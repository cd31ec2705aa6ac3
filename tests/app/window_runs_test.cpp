// SPDX-License-Identifier: GPL-3.0-or-later
// Runs side by side: files opened beside the live measurement, overlaid on the Graph and
// Stability pages in their colours, named in the legend and the table, shown, hidden and closed.
#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "app/run_list.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "recording/date_text.h"
#include "recording/float_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cmath>

namespace {

class WindowRunsTest : public WindowTest {
protected:
    // A .dat of `count` readings a second apart, `offset` from `nominal`, wandering by a few 1e-9.
    std::string writeRun(const std::string& name, double nominal, double offset, int count) {
        std::string text =
            "/* KELVO counter data: t/ms, f/Hz\n/* " + recording::dateTimeToStr(46000.5) + "\n/*\n";
        for (int i = 0; i < count; ++i) {
            const double value = nominal * (1 + offset + 2e-9 * std::sin(i * 0.7) + 1e-9 * (i % 5));
            text += std::to_string(1000 * i) + ' ' + recording::floatToStr(value) + '\n';
        }
        writeBytes(folderFile(name), text);
        return folderFile(name);
    }

    void openThroughMenu(const std::string& fileName) {
        dialogs->openAnswer = fileName;
        talvek::test::findMenuAction(window->connectPage().logMenu(), {"Open measurement..."})
            ->trigger();
        EXPECT_TRUE(waitFor([this] { return !window->loadingMeasurement(); }));
        QCoreApplication::processEvents(); // the run menus follow the list
    }

    // How many pixels of `picture` have the run's colour.
    static int pixelsOf(const QImage& picture, plot::Color colour) {
        const auto rgb = static_cast<unsigned>(colour);
        const QRgb wanted = qRgb(static_cast<int>(rgb & 0xFFu), static_cast<int>(rgb >> 8 & 0xFFu),
                                 static_cast<int>(rgb >> 16 & 0xFFu));
        const QImage image = picture.convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += image.pixel(x, y) == wanted ? 1 : 0;
            }
        }
        return count;
    }

    QImage graphPicture() const {
        window->graphPage().plot()->repaint();
        return window->graphPage().plot()->picture().copy();
    }

    std::vector<std::string> tableColumn(int column) const {
        const QTableWidget& table = *window->stabilityPage().table();
        std::vector<std::string> texts;
        for (int row = 0; row < table.rowCount(); ++row) {
            texts.push_back(table.item(row, column)->text().toStdString());
        }
        return texts;
    }

    // Connected, a minute of live readings at 10 MHz, and files at 10 MHz and 5 MHz opened beside.
    void threeRuns() {
        open();
        connectCounter();
        for (int i = 1; i <= 60; ++i) {
            nowMs += 1000;
            sendReading(std::to_string(10000000 + i % 3) + ".25", i);
        }
        openThroughMenu(writeRun("ten.dat", 10e6, 4e-8, 300));
        openThroughMenu(writeRun("five.dat", 5e6, -4e-8, 400));
    }
};

TEST_F(WindowRunsTest, FilesOpenBesideTheLiveRunOnTheGraph) {
    threeRuns();
    app::MainWindow& form = *window;
    const std::vector<app::Run>& runs = form.runs().runs();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].name.rfind("COM7 ", 0), 0u) << runs[0].name;
    EXPECT_EQ(runs[1].name, "ten.dat");
    EXPECT_EQ(runs[2].name, "five.dat");
    EXPECT_EQ(form.statusText(), "Opened five.dat: 400 readings.");
    EXPECT_EQ(form.log().count(), 60); // the live run is undisturbed
    EXPECT_TRUE(form.counter().isConnected());

    form.pages()->setCurrentWidget(&form.graphPage());
    ASSERT_TRUE(form.graphPage().comparing());
    // Fractional offsets from each nominal share the axis: every run's colour shows.
    QImage picture = graphPicture();
    for (const app::Run& run : runs) {
        EXPECT_GT(pixelsOf(picture, run.colour), 20) << run.name;
    }
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Fractional frequency offset");
    // A legend names the runs: the saved SVG holds their names as text.
    dialogs->pictureAnswer = app::PictureChoice{folderFile("graph.svg"), QSize(800, 500)};
    talvek::test::findMenuAction(form.graphPage().menu(), {"Save picture..."})->trigger();
    const std::string svg = fileBytes(folderFile("graph.svg"));
    for (const app::Run& run : runs) {
        EXPECT_NE(svg.find(">" + run.name + "<"), std::string::npos) << run.name;
    }

    // As read, 5 MHz and 10 MHz lie 5 MHz apart: each run is a flat line of its own.
    talvek::test::findMenuAction(form.graphPage().menu(), {"Compare runs as", "As read"})
        ->trigger();
    EXPECT_NE(graphPicture(), picture);

    // Hidden, a run leaves the graph; shown again, it is back; closed, it is gone from the list.
    talvek::test::findMenuAction(form.graphPage().menu(), {"Runs", "five.dat", "Shown"})->trigger();
    picture = graphPicture();
    EXPECT_EQ(pixelsOf(picture, runs[2].colour), 0);
    EXPECT_GT(pixelsOf(picture, runs[1].colour), 20);
    QCoreApplication::processEvents();
    talvek::test::findMenuAction(form.graphPage().menu(), {"Runs", "ten.dat", "Close"})->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.runs().runs().size(), 2u);
    EXPECT_EQ(form.runs().runs()[1].name, "five.dat");

    // The live run stays while it is live.
    talvek::test::findMenuAction(form.graphPage().menu(),
                                 {"Runs", form.runs().runs()[0].name, "Close"})
        ->trigger();
    EXPECT_EQ(form.runs().runs().size(), 2u);
    EXPECT_EQ(form.statusText(), "Disconnect before closing the live run.");

    // With one run left, trace 0 alone shows it as always.
    talvek::test::findMenuAction(form.graphPage().menu(), {"Runs", "five.dat", "Close"})->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.graphPage().comparing());
    EXPECT_TRUE(form.graphPage().plot()->traces().at(0).visible);
    EXPECT_EQ(form.graphPage().plot()->traces().size(), 1u);
}

TEST_F(WindowRunsTest, StabilityPageOverlaysEveryVisibleRun) {
    threeRuns();
    app::MainWindow& form = *window;
    const std::vector<app::Run> runs = form.runs().runs();
    form.pages()->setCurrentWidget(&form.stabilityPage());
    app::StabilityPage& page = form.stabilityPage();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return page.upToDate() && page.shownRuns().size() == 3; }, 20000));

    // A row per run and tau, each under its run's name.
    const QTableWidget& table = *page.table();
    EXPECT_EQ(table.horizontalHeaderItem(0)->text(), "run");
    std::vector<std::string> named = tableColumn(0);
    for (const app::Run& run : runs) {
        EXPECT_NE(std::ranges::find(named, run.name), named.end()) << run.name;
    }
    std::size_t points = 0;
    for (const graph::StabilityRun& run : page.shownRuns()) {
        points += run.result.points.size();
    }
    EXPECT_EQ(static_cast<std::size_t>(table.rowCount()), points);

    page.fractionalPlot().repaint();
    const QImage picture = page.fractionalPlot().picture();
    for (const app::Run& run : runs) {
        EXPECT_GT(pixelsOf(picture, run.colour), 10) << run.name;
    }
    // The legend names each run: the saved SVG holds its texts.
    dialogs->pictureAnswer = app::PictureChoice{folderFile("runs.svg"), QSize(800, 500)};
    talvek::test::findMenuAction(page.menu(), {"Save picture..."})->trigger();
    const std::string svg = fileBytes(folderFile("runs.svg"));
    for (const char* label : {"ten.dat ADEV", "five.dat ADEV"}) {
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    }

    // "Copy table" copies every visible run's table under its name.
    talvek::test::findMenuAction(page.menu(), {"Copy table"})->trigger();
    const std::string copied = QGuiApplication::clipboard()->text().toStdString();
    for (const app::Run& run : runs) {
        EXPECT_NE(copied.find(run.name + '\n'), std::string::npos) << run.name;
    }

    // A hidden run leaves the plot and the table.
    talvek::test::findMenuAction(page.menu(), {"Runs", "ten.dat", "Shown"})->trigger();
    QCoreApplication::processEvents();
    named = tableColumn(0);
    EXPECT_EQ(std::ranges::find(named, "ten.dat"), named.end());
    page.fractionalPlot().repaint();
    EXPECT_EQ(pixelsOf(page.fractionalPlot().picture(), runs[1].colour), 0);
}

// Disconnected, the run shown closes and the next takes its place in the log and on the pages.
TEST_F(WindowRunsTest, ClosingTheShownRunShowsTheNext) {
    threeRuns();
    app::MainWindow& form = *window;
    window->connectPage().connectButton()->click();
    ASSERT_TRUE(waitFor([&] { return !form.counter().isConnected(); }));
    const std::string live = form.runs().runs()[0].name;
    talvek::test::findMenuAction(form.graphPage().menu(), {"Runs", live, "Close"})->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.runs().runs().size(), 2u);
    EXPECT_EQ(form.runs().runs()[0].name, "ten.dat");
    EXPECT_EQ(form.log().count(), 300);
    EXPECT_EQ(form.readings()->size(), 300u);
}

// Another program's text opens too: one value a line a second apart, or time in s and value;
// the user says whether it is phase.
TEST_F(WindowRunsTest, PlainTextOpensAsFrequencyOrAsPhase) {
    app::MainWindow& form = open();
    writeBytes(folderFile("osc.txt"),
               "# from another program\n10000000.1\n10000000.2\n9999999.9\n");
    dialogs->questionAnswer = false;
    openThroughMenu(folderFile("osc.txt"));
    EXPECT_EQ(form.statusText(),
              "Opened osc.txt: 3 readings. One value a line: the readings are taken 1 s apart.");
    ASSERT_EQ(form.readings()->size(), 3u);
    EXPECT_EQ(form.readings()->timeMs(2), 2000.0);
    EXPECT_EQ(form.readings()->value(2), 9999999.9);
    EXPECT_EQ(form.readings()->quantity(0), analysis::Quantity::Frequency);

    writeBytes(folderFile("tic.txt"), "0.0,1.5e-9\n1.0,1.7e-9\n2.5,1.6e-9\n");
    dialogs->questionAnswer = true;
    openThroughMenu(folderFile("tic.txt"));
    EXPECT_EQ(
        dialogs->questions.back(),
        "Are the readings of tic.txt phase, a time error in seconds? (No: frequencies in Hz.)");
    ASSERT_EQ(form.runs().runs().size(), 2u);
    const app::Run& phase = form.runs().runs()[1];
    EXPECT_EQ(phase.quantity, counter::Quantity::Phase);
    ASSERT_EQ(phase.readings->size(), 3u);
    EXPECT_EQ(phase.readings->quantity(2), analysis::Quantity::Phase);
    EXPECT_EQ(phase.readings->timeMs(2), 2500.0);
    EXPECT_EQ(form.log().count(), 3); // the run shown stays
}

} // namespace
