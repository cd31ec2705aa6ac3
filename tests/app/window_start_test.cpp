// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/dynamic_page.h"
#include "app/log_view.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "recording/date_text.h"
#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "portselect/port_selector.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <filesystem>

namespace {

using WindowStartTest = WindowTest;

TEST_F(WindowStartTest, WithoutSettingsFileOpensAsDesigned) {
    app::MainWindow& form = open();
    EXPECT_EQ(caption(), "TALVEK software V1.2 for KELVO frequency counter");
    EXPECT_EQ(form.pos(), QPoint(614, 225));
    EXPECT_EQ(form.size(), QSize(1148, 574));
    EXPECT_EQ(form.minimumSize(), QSize(500, 160));
    EXPECT_EQ(form.graphPage().plot()->xAxis().caption, "Time/s");
    EXPECT_EQ(form.graphPage().plot()->xAxis().scaleFactor, 1.0);
    EXPECT_EQ(form.settings().timeDivisor, 1.0);
    EXPECT_EQ(form.settings().frequencyDivisor, 1.0);
    EXPECT_EQ(form.startTime(), 0.0);
    EXPECT_EQ(form.statusText(), "");
    EXPECT_TRUE(dialogs->errors.empty());
    // The only port on this machine is the counter's; the driver takes what the selector chose.
    EXPECT_EQ(form.connectPage().portSelector()->port(), "COM7");
    EXPECT_EQ(form.counter().port(), "COM7");
}

TEST_F(WindowStartTest, PagesAndControls) {
    app::MainWindow& form = open();
    ASSERT_EQ(form.pages()->count(), 6);
    const char* titles[] = {"Connect", "Commands", "Display", "Graph", "Stability", "Dynamic ADEV"};
    QWidget* pages[] = {&form.connectPage(), &form.commandsPage(),  &form.displayPage(),
                        &form.graphPage(),   &form.stabilityPage(), &form.dynamicPage()};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(form.pages()->tabText(i), QString::fromLatin1(titles[i]));
        EXPECT_EQ(form.pages()->widget(i), pages[i]);
    }
    EXPECT_EQ(form.pages()->currentWidget(), &form.connectPage());

    EXPECT_TRUE(form.connectPage().connectButton()->isCheckable());
    EXPECT_FALSE(form.connectPage().connectButton()->isChecked());
    EXPECT_EQ(form.connectPage().connectButton()->text(), "Connect");
    EXPECT_EQ(form.connectPage().connectButton()->size(), QSize(112, 33));
    EXPECT_EQ(form.connectPage().portSelector()->width(), 645);
    EXPECT_EQ(form.connectPage().portSelector()->filterShow(), 255);
    EXPECT_EQ(form.connectPage().portSelector()->filterType(), 255);
    EXPECT_EQ(form.connectPage().autoIdentifyBox()->text(),
              "auto-identify counter (must be counting!)");
    EXPECT_FALSE(form.connectPage().autoIdentifyBox()->isVisible());
    EXPECT_FALSE(form.connectPage().autoIdentifyBox()->isChecked());
    EXPECT_EQ(form.commandsPage().valueLabel()->text(), "Value");
    EXPECT_EQ(form.commandsPage().valueEdit()->text(), "1");
    EXPECT_EQ(form.displayPage().readingLabel()->text(), "");
    EXPECT_EQ(form.displayPage().readingLabel()->alignment(), Qt::AlignCenter);
    EXPECT_EQ(form.connectPage().logView()->model(), &form.log());
    for (QWidget* list : {static_cast<QWidget*>(form.connectPage().logView()),
                          static_cast<QWidget*>(form.commandsPage().replyList())}) {
        EXPECT_EQ(list->font().pixelSize(), 15);
        EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
        EXPECT_EQ(list->palette().color(QPalette::Text), QColor(Qt::blue));
    }
    EXPECT_EQ(form.displayPage().readingLabel()->palette().color(QPalette::WindowText),
              QColor(Qt::blue));
    EXPECT_EQ(form.graphPage().plot()->parentWidget(), &form.graphPage());
}

TEST_F(WindowStartTest, GraphStartsWithTheWindowsValues) {
    const graph::XyPlot& xy = *open().graphPage().plot();
    EXPECT_EQ(xy.xAxis().caption, "Time/s");
    EXPECT_EQ(xy.leftAxis().caption, "Y1-Axis");
    EXPECT_EQ(xy.rightAxis().caption, "Y2-Axis");
    EXPECT_EQ(xy.xAxis().colour, plot::kBlue);
    EXPECT_EQ(xy.leftAxis().colour, plot::kBlue);
    EXPECT_EQ(xy.rightAxis().colour, plot::kGreen);
    EXPECT_FALSE(xy.xGridOn() || xy.leftGridOn() || xy.rightGridOn());
    EXPECT_TRUE(xy.xAxis().autoRange && xy.leftAxis().autoRange && xy.rightAxis().autoRange);
    EXPECT_EQ(xy.xAxis().fixedFrom, -1.0);
    EXPECT_EQ(xy.xAxis().fixedTo, 1.0);
    EXPECT_EQ(xy.leftAxis().fixedFrom, 24999990.0);
    EXPECT_EQ(xy.leftAxis().fixedTo, 25000010.0);
    EXPECT_EQ(xy.rightAxis().fixedFrom, -1.0);
    EXPECT_EQ(xy.rightAxis().fixedTo, 1.0);
    EXPECT_EQ(xy.fontScale(), 1.5);
    EXPECT_EQ(xy.backColour(), plot::kButtonFace);
    EXPECT_EQ(xy.frameColour(), plot::kBlue);
    EXPECT_EQ(xy.areaLayout().leftPercent, 20);
    EXPECT_EQ(xy.areaLayout().rightPercent, 90);
    EXPECT_EQ(xy.areaLayout().topPercent, 10);
    EXPECT_EQ(xy.areaLayout().bottomPercent, 80);
    EXPECT_EQ(xy.areaLayout().leftPixels + xy.areaLayout().rightPixels + xy.areaLayout().topPixels +
                  xy.areaLayout().bottomPixels,
              0);
    EXPECT_FALSE(xy.areaLayout().clip);
    EXPECT_EQ(xy.symbolSize(), 8);
    EXPECT_FALSE(xy.rulerOn());
    EXPECT_EQ(xy.readoutPosition().x(), 2);
    EXPECT_EQ(xy.readoutPosition().y(), 2);
    EXPECT_FALSE(xy.fixedNumberFormat());
    EXPECT_EQ(xy.xAxis().scaleFactor, 1.0);
    EXPECT_EQ(xy.leftAxis().scaleFactor, 1.0);
    EXPECT_EQ(xy.rightAxis().scaleFactor, 1.0);
    EXPECT_TRUE(xy.traces().empty());
}

TEST_F(WindowStartTest, PopupMenusInOrderWithoutAccelerators) {
    app::MainWindow& form = open();
    const std::vector<std::pair<QMenu*, std::vector<std::string>>> menus = {
        {form.connectPage().logMenu(),
         {"save data to file", "Open measurement...", "Time-series database..."}},
        {form.graphPage().menu(),
         {"Time unit", "Frequency unit", "", "Clear", "Unzoom", "Copy graph to clipboard", "Print",
          "Runs", "Compare runs as", "Save picture...", "", "Connect/Disconnect"}},
        {form.displayPage().menu(), {"Connect/Disconnect"}},
        {form.stabilityPage().menu(),
         {"Deviations", "Tau spacing", "Remove drift", "Span", "", "Copy table", "Runs",
          "Save picture...", "", "Connect/Disconnect"}},
        {form.commandsPage().commandMenu(),
         {"Measure", "Gate Time", "Average", "Mode", "COM Telegram", "Transmit Interval <value>",
          "Prescaler", "", "Info", "ESC Command <value>", "", "Connect/Disconnect"}},
    };
    for (const auto& [menu, captions] : menus) {
        std::vector<std::string> shown;
        for (QAction* action : menu->actions()) {
            shown.push_back(action->text().toStdString());
            EXPECT_FALSE(action->text().contains(QLatin1Char('&')));
        }
        EXPECT_EQ(shown, captions);
    }
    EXPECT_NE(talvek::test::findMenuAction(form.graphPage().menu(), {"Time unit", "hours"}),
              nullptr);
    EXPECT_NE(talvek::test::findMenuAction(form.graphPage().menu(), {"Frequency unit", "GHz"}),
              nullptr);
    EXPECT_NE(talvek::test::findMenuAction(form.commandsPage().commandMenu(),
                                           {"COM Telegram", "Hertz value"}),
              nullptr);
    EXPECT_NE(talvek::test::findMenuAction(form.commandsPage().commandMenu(),
                                           {"Prescaler", "SMA <value>"}),
              nullptr);
}

TEST_F(WindowStartTest, FirstLineOnlyGivesSmallestWindowFullMasksAndUnitDivisors) {
    writeBytes(settingsFile(), "COM7\r\n");
    app::MainWindow& form = open();
    EXPECT_EQ(form.settings().savedPort, "COM7");
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_EQ(form.size(), QSize(500, 160));
    EXPECT_EQ(form.connectPage().portSelector()->filterShow(), 255);
    EXPECT_EQ(form.connectPage().portSelector()->filterType(), 255);
    EXPECT_EQ(form.settings().timeDivisor, 1.0);
    EXPECT_EQ(form.settings().frequencyDivisor, 1.0);
    EXPECT_EQ(form.graphPage().plot()->xAxis().scaleFactor, 1.0);
    EXPECT_TRUE(dialogs->errors.empty());
}

TEST_F(WindowStartTest, TimeDivisorChoosesCaptionAndFactor) {
    const struct {
        const char* Text;
        const char* Caption;
        double factor;
    } cases[] = {
        {" 6.00000000000000E+0001", "Time/min", 1.0 / 60},
        {" 3.60000000000000E+0003", "Time/h", 1.0 / 3600},
        {" 3.00000000000000E+0001", "Time/s", 1.0 / 30},
        {" 1.00000000000000E+0000", "Time/s", 1.0},
    };
    for (const auto& c : cases) {
        writeBytes(settingsFile(), std::string("COM7\r\n") + c.Text + "\r\n");
        app::MainWindow& form = open();
        EXPECT_EQ(form.graphPage().plot()->xAxis().caption, c.Caption) << c.Text;
        EXPECT_DOUBLE_EQ(form.graphPage().plot()->xAxis().scaleFactor, c.factor) << c.Text;
        window.reset();
    }
}

TEST_F(WindowStartTest, BadTokenShowsInvalidNumericInputAndKeepsWhatWasRead) {
    writeBytes(settingsFile(),
               "COM7\r\n 6.00000000000000E+0001\r\n 1.00000000000000E+0003\r\n10\r\nten\r\n");
    app::MainWindow& form = open();
    EXPECT_EQ(dialogs->errors, std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(form.graphPage().plot()->xAxis().caption, "Time/min");
    EXPECT_EQ(form.settings().frequencyDivisor, 1000.0);
    EXPECT_EQ(form.x(), 10);
    EXPECT_EQ(form.y(), 225); // not read: the designed value stays
    EXPECT_EQ(form.size(), QSize(1148, 574));
}

TEST_F(WindowStartTest, SavedGeometryIsKeptOnlyWhereItFitsTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* Geometry; // left, top, width, height
        QRect expected;
    } cases[] = {
        {"0\r\n0\r\n99999\r\n99999", area},
        {"5000\r\n-3000\r\n800\r\n400", QRect(area.right() + 1 - 800, area.top(), 800, 400)},
        {"-40\r\n100\r\n800\r\n400", QRect(area.left(), 100, 800, 400)},
        {"20\r\n30\r\n800\r\n400", QRect(20, 30, 800, 400)},
    };
    for (const auto& c : cases) {
        writeBytes(settingsFile(), std::string("COM7\r\n1\r\n1\r\n") + c.Geometry + "\r\n");
        app::MainWindow& form = open();
        EXPECT_EQ(QRect(form.pos(), form.size()), c.expected) << c.Geometry;
        window.reset();
    }
}

TEST_F(WindowStartTest, CloseWritesTheSettingsFileAndTheLastMeasurement) {
    writeBytes(settingsFile(), "COM7\r\n 6.00000000000000E+0001\r\n 1.00000000000000E+0006\r\n"
                               "20\r\n30\r\n800\r\n400\r\n5\r\n259\r\n");
    app::MainWindow& form = open();
    EXPECT_EQ(form.connectPage().portSelector()->filterType(), 3); // low 8 bits
    EXPECT_TRUE(form.close());
    EXPECT_EQ(fileBytes(settingsFile()), "COM7\r\n 6.00000000000000E+0001\r\n"
                                         " 1.00000000000000E+0006\r\n20\r\n30\r\n800\r\n400\r\n"
                                         "5\r\n3\r\n");
    // Written to the working folder; StartTime 0 is 30 December 1899 at midnight.
    const std::string date = recording::dateTimeToStr(0);
    EXPECT_EQ(fileBytes(folderFile("last_measurement.dat")),
              "/* KELVO counter data: t/ms, f/Hz\r\n/* " + date + "\r\n/*\r\n");
    EXPECT_TRUE(dialogs->errors.empty());
}

TEST_F(WindowStartTest, SettingsThatCannotBeWrittenAreReported) {
    open();
    std::filesystem::create_directory(settingsFile()); // a folder where the file should go
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs->errors, std::vector<std::string>{"File access denied"});
}

// The layout rule for the window's current size, checked on every page, shown or not.
void expectResizeRule(app::MainWindow& form) {
    const int pageHeight = form.pages()->currentWidget()->height();
    const std::string at = std::to_string(form.width()) + "x" + std::to_string(form.height()) +
                           " on page " + std::to_string(form.pages()->currentIndex());
    EXPECT_EQ(form.connectPage().connectButton()->y(), pageHeight - 33 - 4) << at;
    EXPECT_EQ(form.connectPage().portSelector()->y(),
              form.connectPage().connectButton()->y() +
                  (33 - form.connectPage().portSelector()->height()) / 2)
        << at;
    EXPECT_EQ(form.connectPage().logView()->height(),
              std::max(0, form.connectPage().connectButton()->y() - 4))
        << at;
    EXPECT_EQ(form.connectPage().autoIdentifyBox()->y(),
              form.connectPage().portSelector()->y() +
                  (form.connectPage().portSelector()->height() -
                   form.connectPage().autoIdentifyBox()->height()) /
                      2)
        << at;
    EXPECT_EQ(form.commandsPage().replyList()->height(), form.connectPage().logView()->height())
        << at;
    EXPECT_EQ(form.commandsPage().valueLabel()->y(),
              form.connectPage().autoIdentifyBox()->y() +
                  (form.connectPage().autoIdentifyBox()->height() -
                   form.commandsPage().valueLabel()->height()) /
                      2)
        << at;
    EXPECT_EQ(form.commandsPage().valueEdit()->y(), form.connectPage().portSelector()->y()) << at;
    EXPECT_EQ(form.commandsPage().valueEdit()->x() + form.commandsPage().valueEdit()->width(),
              form.commandsPage().replyList()->width())
        << at;
    EXPECT_EQ(form.commandsPage().replyList()->width(), form.pages()->currentWidget()->width())
        << at;
    EXPECT_LE(form.commandsPage().valueEdit()->geometry().bottom(), pageHeight)
        << at; // within reach

    // 18 digits fill the display page's width, within the last point size's step.
    const int width = form.pages()->currentWidget()->width();
    const int s0 = std::max(1, width / 20);
    QFont first = form.displayPage().readingLabel()->font();
    first.setPointSize(s0);
    const int t = QFontMetrics(first).horizontalAdvance("123456789012345678");
    EXPECT_EQ(form.displayPage().readingLabel()->font().pointSize(), s0 * width / t) << at;
    EXPECT_EQ(form.displayPage().readingLabel()->x(), t / 20) << at;
    EXPECT_EQ(form.displayPage().readingLabel()->y(),
              (pageHeight - QFontMetrics(form.displayPage().readingLabel()->font()).height()) / 2)
        << at;

    // The stability plot (the fractional one alone at first) and table share the page's width
    // above the caption line.
    const app::StabilityPage& stability = form.stabilityPage();
    EXPECT_EQ(stability.fractionalPlot().x(), 0) << at;
    EXPECT_EQ(stability.fractionalPlot().width() + stability.table()->width(), width) << at;
    EXPECT_EQ(stability.table()->x(), stability.fractionalPlot().width()) << at;
    EXPECT_EQ(stability.caption()->y(), stability.fractionalPlot().height()) << at;
    EXPECT_EQ(stability.caption()->geometry().bottom() + 1, pageHeight) << at;
}

TEST_F(WindowStartTest, ResizeRuleLaysOutEveryPage) {
    app::MainWindow& form = open();
    for (const QSize size : {QSize(1148, 574), QSize(700, 300), QSize(500, 160)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        const int pageHeight = form.connectPage().height();
        EXPECT_EQ(form.connectPage().connectButton()->y(), pageHeight - 33 - 4);
        EXPECT_EQ(form.connectPage().portSelector()->y(),
                  form.connectPage().connectButton()->y() +
                      (33 - form.connectPage().portSelector()->height()) / 2);
        EXPECT_EQ(form.connectPage().logView()->height(),
                  std::max(0, form.connectPage().connectButton()->y() - 4));
        EXPECT_EQ(form.connectPage().autoIdentifyBox()->y(),
                  form.connectPage().portSelector()->y() +
                      (form.connectPage().portSelector()->height() -
                       form.connectPage().autoIdentifyBox()->height()) /
                          2);
        EXPECT_EQ(form.commandsPage().replyList()->height(),
                  form.connectPage().logView()->height());
        EXPECT_EQ(form.commandsPage().valueLabel()->y(),
                  form.connectPage().autoIdentifyBox()->y() +
                      (form.connectPage().autoIdentifyBox()->height() -
                       form.commandsPage().valueLabel()->height()) /
                          2);
        EXPECT_EQ(form.commandsPage().valueEdit()->y(), form.connectPage().portSelector()->y());
        EXPECT_EQ(form.commandsPage().valueEdit()->x() + form.commandsPage().valueEdit()->width(),
                  form.commandsPage().replyList()->width());

        // 18 digits fill the display page's width, within the last point size's step.
        const int width = form.displayPage().width();
        const int s0 = std::max(1, width / 20);
        QFont first = form.displayPage().readingLabel()->font();
        first.setPointSize(s0);
        const int t = QFontMetrics(first).horizontalAdvance("123456789012345678");
        EXPECT_EQ(form.displayPage().readingLabel()->font().pointSize(), s0 * width / t) << width;
        EXPECT_EQ(form.displayPage().readingLabel()->x(), t / 20);
        EXPECT_EQ(form.displayPage().readingLabel()->y(),
                  (form.displayPage().height() -
                   QFontMetrics(form.displayPage().readingLabel()->font()).height()) /
                      2);
    }
}

// Every page follows the window's size, also one that was hidden while the window was resized.
TEST_F(WindowStartTest, ResizeRuleHoldsWhicheverPageShows) {
    app::MainWindow& form = open();
    for (int showing = 0; showing < 5; ++showing) {
        for (const QSize size : {QSize(760, 380), QSize(1148, 574)}) {
            form.pages()->setCurrentIndex(showing);
            QCoreApplication::processEvents();
            form.resize(size);
            QCoreApplication::processEvents();
            for (int page : {1, 2, 3, 4, 0}) {
                form.pages()->setCurrentIndex(page);
                QCoreApplication::processEvents();
                expectResizeRule(form);
            }
        }
    }
}

} // namespace
