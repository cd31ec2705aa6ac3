// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "app/graph_page.h"
#include "app/stability_page.h"
#include "app/stability_plot.h"
#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "recording/date_text.h"
#include "recording/float_text.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

namespace {

using WindowCommandsTest = WindowTest;

const std::string kEsc = "\x1b";

TEST_F(WindowCommandsTest, EveryEntryWritesItsCommand) {
    app::MainWindow& form = open();
    connectCounter();
    scriptedCounter.clearReceived();
    form.commandsPage().valueEdit()->setText("16");
    const struct {
        std::vector<std::string> Entry;
        std::string bytes;
    } cases[] = {
        {{"Measure", "single"}, "1"},
        {{"Measure", "continuous"}, "r"},
        {{"Measure", "stop"}, "x"},
        {{"Gate Time", "1s"}, "T"},
        {{"Gate Time", "0.1s"}, "t"},
        {{"Average", "ON"}, "A"},
        {{"Average", "OFF"}, "a"},
        {{"Mode", "Frequency"}, "f"},
        {{"Mode", "Period"}, "p"},
        {{"Mode", "Offset"}, "o"},
        {{"COM Telegram", "display dump"}, "d"},
        {{"COM Telegram", "Hertz value"}, "h"},
        {{"Transmit Interval <value>"}, "i16"},
        {{"Prescaler", "BNC <value>"}, "b16"},
        {{"Prescaler", "SMA <value>"}, "b16"},
        {{"Info"}, "I"},
    };
    for (const auto& c : cases) {
        scriptedCounter.answer(c.bytes, "OK");
        talvek::test::findMenuAction(form.commandsPage().commandMenu(), c.Entry)->trigger();
        waitForReplies();
        EXPECT_EQ(receivedBytes(), kEsc + c.bytes + "\r") << c.Entry.back();
        EXPECT_EQ(repliesShown(), std::vector<std::string>{"OK"}) << c.Entry.back();
        scriptedCounter.clearReceived();
    }
}

TEST_F(WindowCommandsTest, ValueEntriesConvertTheField) {
    app::MainWindow& form = open();
    connectCounter();
    scriptedCounter.answer("i16", "OK");
    scriptedCounter.answer("i-2", "OK");
    const struct {
        const char* field;
        std::string bytes;
    } cases[] = {{"$10", kEsc + "i16\r"},
                 {"0x10", kEsc + "i16\r"},
                 {"  -2", kEsc + "i-2\r"},
                 {"abc", ""},
                 {"", ""},
                 {"16 ", ""},
                 {"4294967296", ""}};
    for (const auto& c : cases) {
        scriptedCounter.clearReceived();
        form.statusBar()->clearMessage();
        form.commandsPage().replyList()->addItem("stale");
        form.commandsPage().valueEdit()->setText(c.field);
        talvek::test::findMenuAction(form.commandsPage().commandMenu(),
                                     {"Transmit Interval <value>"})
            ->trigger();
        waitForReplies();
        EXPECT_EQ(receivedBytes(), c.bytes) << c.field;
        EXPECT_EQ(form.statusText(), c.bytes.empty() ? "Error: Value is not a number!" : "")
            << c.field;
        EXPECT_EQ(repliesShown(),
                  c.bytes.empty() ? std::vector<std::string>{} : std::vector<std::string>{"OK"})
            << c.field;
    }
}

TEST_F(WindowCommandsTest, EscCommandSendsTheFieldAndShowsIt) {
    app::MainWindow& form = open();
    connectCounter();
    scriptedCounter.clearReceived();
    scriptedCounter.answer("5", "?");
    form.commandsPage().valueEdit()->setText("5");
    talvek::test::findMenuAction(form.commandsPage().commandMenu(), {"ESC Command <value>"})
        ->trigger();
    EXPECT_EQ(form.statusText(), "Command sent: <ESC>" + kEsc + "5");
    EXPECT_EQ(receivedBytes(), kEsc + "5\r");
    EXPECT_EQ(repliesShown(), std::vector<std::string>{"?"});
}

TEST_F(WindowCommandsTest, NothingIsWrittenWhileDisconnected) {
    app::MainWindow& form = open();
    form.commandsPage().valueEdit()->setText("x");
    for (const std::vector<std::string>& entry : {std::vector<std::string>{"Measure", "stop"},
                                                  {"Prescaler", "BNC <value>"},
                                                  {"ESC Command <value>"},
                                                  {"Info"}}) {
        form.commandsPage().replyList()->addItem("stale");
        form.statusBar()->clearMessage();
        talvek::test::findMenuAction(form.commandsPage().commandMenu(), entry)->trigger();
        EXPECT_EQ(form.commandsPage().replyList()->count(), 0) << entry.back();
        if (entry.back() == "BNC <value>") {
            EXPECT_EQ(form.statusText(), "Error: Value is not a number!");
        }
    }
    EXPECT_EQ(receivedBytes(), "");
}

TEST_F(WindowCommandsTest, StopAnsweredOkShowsOnlyOk) {
    app::MainWindow& form = open();
    connectCounter();
    scriptedCounter.answer("x", "OK");
    form.commandsPage().replyList()->addItem("old reply");
    talvek::test::findMenuAction(form.commandsPage().commandMenu(), {"Measure", "stop"})->trigger();
    waitForReplies();
    EXPECT_EQ(repliesShown(), std::vector<std::string>{"OK"});
}

TEST_F(WindowCommandsTest, TypingEmptiesRepliesAndEnterSends) {
    app::MainWindow& form = open();
    connectCounter();
    scriptedCounter.clearReceived();
    form.commandsPage().valueEdit()->clear();
    form.commandsPage().replyList()->addItem("old reply");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_7);
    EXPECT_EQ(form.commandsPage().replyList()->count(), 0);
    EXPECT_EQ(form.commandsPage().valueEdit()->text(), "7"); // the key still reaches the field
    form.commandsPage().replyList()->addItem("old reply");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_Return);
    EXPECT_EQ(receivedBytes(), kEsc + "7\r");
    EXPECT_EQ(form.statusText(), "Command sent: <ESC>" + kEsc + "7");
    EXPECT_EQ(form.commandsPage().replyList()->count(), 0);
    // A key without a character (Shift alone) is no key press.
    form.commandsPage().replyList()->addItem("kept");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_Shift);
    EXPECT_EQ(form.commandsPage().replyList()->count(), 1);
}

TEST_F(WindowCommandsTest, AnyTypedCharacterEmptiesReplies) {
    app::MainWindow& form = open();
    for (const char* typed : {"\xc3\xa4", "\xe2\x82\xac", "\xf0\x9f\x98\x80"}) { // ä € 😀
        form.commandsPage().replyList()->addItem("old reply");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUtf8(typed));
        QCoreApplication::sendEvent(form.commandsPage().valueEdit(), &press);
        EXPECT_EQ(form.commandsPage().replyList()->count(), 0) << typed;
    }
}

TEST_F(WindowCommandsTest, SaveWritesTheChosenFormat) {
    app::MainWindow& form = open();
    connectCounter();
    nowMs += 2000;
    sendReading("10000000.5", 1);
    dialogs->saveAnswer = folderFile("data.dat");
    talvek::test::findMenuAction(form.connectPage().logMenu(), {"save data to file"})->trigger();
    EXPECT_EQ(dialogs->lastFilter, "data file (*.dat)|*.dat|csv file (*.csv)|*.csv|"
                                   "Timestamped CSV (*.csv)|*.csv");
    EXPECT_EQ(dialogs->lastDefaultExt, "*.dat");
    EXPECT_EQ(fileBytes(folderFile("data.dat")), "/* KELVO counter data: t/ms, f/Hz\r\n/* " +
                                                     recording::dateTimeToStr(form.startTime()) +
                                                     "\r\n/*\r\n2000 10000000.5\r\n");
    dialogs->saveAnswer = folderFile("data.csv");
    saveThroughMenu();
    EXPECT_EQ(fileBytes(folderFile("data.csv")),
              std::string("2000;10000000") + recording::machineDecimalSeparator() + "5\r\n");
    dialogs->saveAnswer = folderFile("data.DAT");
    saveThroughMenu();
    EXPECT_FALSE(std::filesystem::exists(folderFile("data.DAT")));
    dialogs->saveAnswer.reset();
    saveThroughMenu();
    EXPECT_EQ(dialogs->saveDialogs, 4);
    EXPECT_TRUE(dialogs->errors.empty());
}

// "Save picture..." on either page writes the picture its name's extension asks for, at the
// size given, as a file of the user's alone.
TEST_F(WindowCommandsTest, SavePictureWritesTheFormatOfItsNameFromBothPages) {
    app::MainWindow& form = open();
    connectCounter();
    for (int i = 1; i <= 40; ++i) {
        nowMs += 250;
        sendReading(std::to_string(10000000 + i % 7) + ".5", i);
    }
    const std::pair<QMenu*, graph::PlotView*> pages[] = {
        {form.graphPage().menu(), form.graphPage().plot()},
        {form.stabilityPage().menu(), &form.stabilityPage().fractionalPlot()}};
    for (const auto& [menu, plot] : pages) {
        form.pages()->setCurrentWidget(plot->parentWidget());
        QAction* save = talvek::test::findMenuAction(menu, {"Save picture..."});
        ASSERT_NE(save, nullptr);
        dialogs->pictureAnswer = app::PictureChoice{folderFile("picture.svg"), QSize(800, 500)};
        save->trigger();
        EXPECT_EQ(dialogs->offeredPictureSize, plot->size());
        const std::string svg = fileBytes(folderFile("picture.svg"));
        EXPECT_NE(svg.find("<svg"), std::string::npos);
        EXPECT_NE(svg.find("viewBox=\"0 0 800 500\""), std::string::npos);
        EXPECT_EQ(std::filesystem::status(folderFile("picture.svg")).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        dialogs->pictureAnswer = app::PictureChoice{folderFile("picture.PNG"), QSize(300, 200)};
        save->trigger();
        EXPECT_EQ(QImage(QString::fromStdString(folderFile("picture.PNG")), "PNG").size(),
                  QSize(300, 200));
    }
    EXPECT_TRUE(dialogs->errors.empty());
    dialogs->pictureAnswer = app::PictureChoice{folderFile("picture.jpg"), QSize(300, 200)};
    talvek::test::findMenuAction(form.graphPage().menu(), {"Save picture..."})->trigger();
    dialogs->pictureAnswer = app::PictureChoice{folderFile("none/picture.pdf"), QSize(300, 200)};
    talvek::test::findMenuAction(form.graphPage().menu(), {"Save picture..."})->trigger();
    ASSERT_EQ(dialogs->errors.size(), 2u);
    EXPECT_EQ(dialogs->errors[0], "A picture is saved as .png, .svg or .pdf");
    EXPECT_EQ(dialogs->errors[1].rfind("The picture was not saved: ", 0), 0u);
    EXPECT_NE(dialogs->errors[1].find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folderFile("picture.jpg")));
}

TEST_F(WindowCommandsTest, SaveFailureIsReported) {
    open();
    dialogs->saveAnswer = folderFile("missing/data.dat");
    saveThroughMenu();
    EXPECT_EQ(dialogs->errors, std::vector<std::string>{"File access denied"});
}

TEST_F(WindowCommandsTest, EmptyLogSavesThreeLinesBeforeAnyConnect) {
    open();
    dialogs->saveAnswer = folderFile("empty.dat");
    saveThroughMenu();
    dialogs->saveAnswer = folderFile("empty.csv");
    saveThroughMenu();
    EXPECT_EQ(fileBytes(folderFile("empty.dat")), "/* KELVO counter data: t/ms, f/Hz\r\n/* " +
                                                      recording::dateTimeToStr(0) + "\r\n/*\r\n");
    // Day 0 of the date-time scale, 30 December 1899, at midnight: no time part.
    const std::string date = recording::dateTimeToStr(0);
    EXPECT_NE(date.find("1899"), std::string::npos) << date;
    EXPECT_NE(date.find("30"), std::string::npos) << date;
    EXPECT_EQ(date.find(':'), std::string::npos) << date;
    EXPECT_TRUE(std::filesystem::exists(folderFile("empty.csv")));
    EXPECT_EQ(fileBytes(folderFile("empty.csv")), "");
}

TEST_F(WindowCommandsTest, TinyValuesAreExportedWithASmallE) {
    open();
    connectCounter();
    sendReading("av---------------" + std::string(" us") + " " + "      1.500", 1);
    dialogs->saveAnswer = folderFile("tiny.csv");
    saveThroughMenu();
    EXPECT_NE(fileBytes(folderFile("tiny.csv")).find(";1.5e-6\r\n"), std::string::npos);
}

TEST_F(WindowCommandsTest, CommaLocaleExportsPointInDatAndCommaInCsv) {
    if (recording::machineDecimalSeparator() != ',') {
        GTEST_SKIP() << "runs under a comma locale (app_window_comma_test)";
    }
    app::MainWindow& form = open();
    connectCounter();
    nowMs += 2000;
    sendReading("10000000.5", 1);
    EXPECT_EQ(form.log().line(0), "2000        10000000,5");
    dialogs->saveAnswer = folderFile("comma.dat");
    saveThroughMenu();
    dialogs->saveAnswer = folderFile("comma.csv");
    saveThroughMenu();
    const std::string dat = fileBytes(folderFile("comma.dat"));
    EXPECT_EQ(dat.substr(dat.size() - 17), "2000 10000000.5\r\n");
    EXPECT_EQ(fileBytes(folderFile("comma.csv")), "2000;10000000,5\r\n");
}

TEST_F(WindowCommandsTest, PrintCancelledPrintsNothing) {
    app::MainWindow& form = open();
    form.pages()->setCurrentWidget(&form.graphPage());
    dialogs->printerSetupAnswer = false;
    talvek::test::findMenuAction(form.graphPage().menu(), {"Print"})->trigger();
    EXPECT_EQ(dialogs->printerSetups, 1);
    EXPECT_EQ(dialogs->printed.opened, 0);
    EXPECT_EQ(dialogs->printed.documents, 0);
}

TEST_F(WindowCommandsTest, PrintConfirmedPrintsOnTheChosenPrinter) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000", 1);
    form.pages()->setCurrentWidget(&form.graphPage());
    dialogs->printerSetupAnswer = true;
    talvek::test::findMenuAction(form.graphPage().menu(), {"Print"})->trigger();
    EXPECT_EQ(dialogs->printerSetups, 1);
    EXPECT_EQ(dialogs->printed.opened, 1);
    EXPECT_EQ(dialogs->printed.documents, 1);
    EXPECT_GT(dialogs->printed.filledBlocks, 0);
    EXPECT_EQ(dialogs->printed.finished, 1);
}

TEST_F(WindowCommandsTest, CopyPutsTheGraphsPixelsOnTheClipboard) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000", 1);
    sendReading("10000100", 2);
    form.pages()->setCurrentWidget(&form.graphPage());
    talvek::test::findMenuAction(form.graphPage().menu(), {"Copy graph to clipboard"})->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), form.graphPage().plot()->size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              form.graphPage().plot()->picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(WindowCommandsTest, UnzoomOnAnUnzoomedGraphChangesNothing) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000", 1);
    form.pages()->setCurrentWidget(&form.graphPage());
    form.graphPage().plot()->repaint();
    const QImage before = form.graphPage().plot()->picture().copy();
    talvek::test::findMenuAction(form.graphPage().menu(), {"Unzoom"})->trigger();
    form.graphPage().plot()->repaint();
    EXPECT_EQ(form.graphPage().plot()->picture(), before);
}

} // namespace
