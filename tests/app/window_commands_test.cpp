#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "counter/date_text.h"
#include "counter/float_text.h"
#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

namespace {

using WindowCommandsTest = WindowTest;

const std::string Esc = "\x1b";

TEST_F(WindowCommandsTest, EveryEntryWritesItsCommand) {
    app::MainWindow& form = Open();
    Connect();
    Counter.clearReceived();
    form.commandsPage().valueEdit()->setText("16");
    const struct {
        std::vector<std::string> Entry;
        std::string Bytes;
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
        Counter.answer(c.Bytes, "OK");
        FindMenuAction(form.commandsPage().commandMenu(), c.Entry)->trigger();
        WaitForReplies();
        EXPECT_EQ(ReceivedBytes(), Esc + c.Bytes + "\r") << c.Entry.back();
        EXPECT_EQ(RepliesShown(), std::vector<std::string>{"OK"}) << c.Entry.back();
        Counter.clearReceived();
    }
}

TEST_F(WindowCommandsTest, ValueEntriesConvertTheField) {
    app::MainWindow& form = Open();
    Connect();
    Counter.answer("i16", "OK");
    Counter.answer("i-2", "OK");
    const struct {
        const char* Field;
        std::string Bytes;
    } cases[] = {{"$10", Esc + "i16\r"},
                 {"0x10", Esc + "i16\r"},
                 {"  -2", Esc + "i-2\r"},
                 {"abc", ""},
                 {"", ""},
                 {"16 ", ""},
                 {"4294967296", ""}};
    for (const auto& c : cases) {
        Counter.clearReceived();
        form.statusBar()->clearMessage();
        form.commandsPage().replyList()->addItem("stale");
        form.commandsPage().valueEdit()->setText(c.Field);
        FindMenuAction(form.commandsPage().commandMenu(), {"Transmit Interval <value>"})->trigger();
        WaitForReplies();
        EXPECT_EQ(ReceivedBytes(), c.Bytes) << c.Field;
        EXPECT_EQ(form.statusText(), c.Bytes.empty() ? "Error: Value is not a number!" : "")
            << c.Field;
        EXPECT_EQ(RepliesShown(),
                  c.Bytes.empty() ? std::vector<std::string>{} : std::vector<std::string>{"OK"})
            << c.Field;
    }
}

TEST_F(WindowCommandsTest, EscCommandSendsTheFieldAndShowsIt) {
    app::MainWindow& form = Open();
    Connect();
    Counter.clearReceived();
    Counter.answer("5", "done 5");
    form.commandsPage().valueEdit()->setText("5");
    FindMenuAction(form.commandsPage().commandMenu(), {"ESC Command <value>"})->trigger();
    EXPECT_EQ(form.statusText(), "Command sent: <ESC>" + Esc + "5");
    EXPECT_EQ(ReceivedBytes(), Esc + "5\r");
    EXPECT_EQ(RepliesShown(), std::vector<std::string>{"done 5"});
}

TEST_F(WindowCommandsTest, NothingIsWrittenWhileDisconnected) {
    app::MainWindow& form = Open();
    form.commandsPage().valueEdit()->setText("x");
    for (const std::vector<std::string>& entry : {std::vector<std::string>{"Measure", "stop"},
                                                  {"Prescaler", "BNC <value>"},
                                                  {"ESC Command <value>"},
                                                  {"Info"}}) {
        form.commandsPage().replyList()->addItem("stale");
        form.statusBar()->clearMessage();
        FindMenuAction(form.commandsPage().commandMenu(), entry)->trigger();
        EXPECT_EQ(form.commandsPage().replyList()->count(), 0) << entry.back();
        if (entry.back() == "BNC <value>") {
            EXPECT_EQ(form.statusText(), "Error: Value is not a number!");
        }
    }
    EXPECT_EQ(ReceivedBytes(), "");
}

TEST_F(WindowCommandsTest, StopAnsweredOkShowsOnlyOk) {
    app::MainWindow& form = Open();
    Connect();
    Counter.answer("x", "OK");
    form.commandsPage().replyList()->addItem("old reply");
    FindMenuAction(form.commandsPage().commandMenu(), {"Measure", "stop"})->trigger();
    WaitForReplies();
    EXPECT_EQ(RepliesShown(), std::vector<std::string>{"OK"});
}

TEST_F(WindowCommandsTest, TypingEmptiesRepliesAndEnterSends) {
    app::MainWindow& form = Open();
    Connect();
    Counter.clearReceived();
    form.commandsPage().valueEdit()->clear();
    form.commandsPage().replyList()->addItem("old reply");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_7);
    EXPECT_EQ(form.commandsPage().replyList()->count(), 0);
    EXPECT_EQ(form.commandsPage().valueEdit()->text(), "7"); // the key still reaches the field
    form.commandsPage().replyList()->addItem("old reply");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_Return);
    EXPECT_EQ(ReceivedBytes(), Esc + "7\r");
    EXPECT_EQ(form.statusText(), "Command sent: <ESC>" + Esc + "7");
    EXPECT_EQ(form.commandsPage().replyList()->count(), 0);
    // A key without a character (Shift alone) is no key press.
    form.commandsPage().replyList()->addItem("kept");
    QTest::keyClick(form.commandsPage().valueEdit(), Qt::Key_Shift);
    EXPECT_EQ(form.commandsPage().replyList()->count(), 1);
}

TEST_F(WindowCommandsTest, AnyTypedCharacterEmptiesReplies) {
    app::MainWindow& form = Open();
    for (const char* typed : {"\xc3\xa4", "\xe2\x82\xac", "\xf0\x9f\x98\x80"}) { // ä € 😀
        form.commandsPage().replyList()->addItem("old reply");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUtf8(typed));
        QCoreApplication::sendEvent(form.commandsPage().valueEdit(), &press);
        EXPECT_EQ(form.commandsPage().replyList()->count(), 0) << typed;
    }
}

TEST_F(WindowCommandsTest, SaveWritesTheChosenFormat) {
    app::MainWindow& form = Open();
    Connect();
    NowMs += 2000;
    Reading("10000000.5", 1);
    Dialogs->SaveAnswer = FolderFile("data.dat");
    FindMenuAction(form.connectPage().logMenu(), {"save data to file"})->trigger();
    EXPECT_EQ(Dialogs->LastFilter, "data file (*.dat)|*.dat|csv file (*.csv)|*.csv");
    EXPECT_EQ(Dialogs->LastDefaultExt, "*.dat");
    EXPECT_EQ(FileBytes(FolderFile("data.dat")), "/* KELVO counter data: t/ms, f/Hz\r\n/* " +
                                                     counter::dateTimeToStr(form.startTime()) +
                                                     "\r\n/*\r\n2000 10000000.5\r\n");
    Dialogs->SaveAnswer = FolderFile("data.csv");
    SaveThroughMenu();
    EXPECT_EQ(FileBytes(FolderFile("data.csv")),
              std::string("2000;10000000") + counter::machineDecimalSeparator() + "5\r\n");
    Dialogs->SaveAnswer = FolderFile("data.DAT");
    SaveThroughMenu();
    EXPECT_FALSE(std::filesystem::exists(FolderFile("data.DAT")));
    Dialogs->SaveAnswer.reset();
    SaveThroughMenu();
    EXPECT_EQ(Dialogs->SaveDialogs, 4);
    EXPECT_TRUE(Dialogs->Errors.empty());
}

TEST_F(WindowCommandsTest, SaveFailureIsReported) {
    Open();
    Dialogs->SaveAnswer = FolderFile("missing/data.dat");
    SaveThroughMenu();
    EXPECT_EQ(Dialogs->Errors, std::vector<std::string>{"File access denied"});
}

TEST_F(WindowCommandsTest, EmptyLogSavesThreeLinesBeforeAnyConnect) {
    Open();
    Dialogs->SaveAnswer = FolderFile("empty.dat");
    SaveThroughMenu();
    Dialogs->SaveAnswer = FolderFile("empty.csv");
    SaveThroughMenu();
    EXPECT_EQ(FileBytes(FolderFile("empty.dat")), "/* KELVO counter data: t/ms, f/Hz\r\n/* " +
                                                      counter::dateTimeToStr(0) + "\r\n/*\r\n");
    // Day 0 of the date-time scale, 30 December 1899, at midnight: no time part.
    const std::string date = counter::dateTimeToStr(0);
    EXPECT_NE(date.find("1899"), std::string::npos) << date;
    EXPECT_NE(date.find("30"), std::string::npos) << date;
    EXPECT_EQ(date.find(':'), std::string::npos) << date;
    EXPECT_TRUE(std::filesystem::exists(FolderFile("empty.csv")));
    EXPECT_EQ(FileBytes(FolderFile("empty.csv")), "");
}

TEST_F(WindowCommandsTest, TinyValuesAreExportedWithASmallE) {
    Open();
    Connect();
    Reading("av---------------" + std::string(" us") + " " + "      1.500", 1);
    Dialogs->SaveAnswer = FolderFile("tiny.csv");
    SaveThroughMenu();
    EXPECT_NE(FileBytes(FolderFile("tiny.csv")).find(";1.5e-6\r\n"), std::string::npos);
}

TEST_F(WindowCommandsTest, CommaLocaleExportsPointInDatAndCommaInCsv) {
    if (counter::machineDecimalSeparator() != ',') {
        GTEST_SKIP() << "runs under a comma locale (app_window_comma_test)";
    }
    app::MainWindow& form = Open();
    Connect();
    NowMs += 2000;
    Reading("10000000.5", 1);
    EXPECT_EQ(form.log().line(0), "2000        10000000,5");
    Dialogs->SaveAnswer = FolderFile("comma.dat");
    SaveThroughMenu();
    Dialogs->SaveAnswer = FolderFile("comma.csv");
    SaveThroughMenu();
    const std::string dat = FileBytes(FolderFile("comma.dat"));
    EXPECT_EQ(dat.substr(dat.size() - 17), "2000 10000000.5\r\n");
    EXPECT_EQ(FileBytes(FolderFile("comma.csv")), "2000;10000000,5\r\n");
}

TEST_F(WindowCommandsTest, PrintCancelledPrintsNothing) {
    app::MainWindow& form = Open();
    form.pages()->setCurrentWidget(&form.graphPage());
    Dialogs->PrinterSetupAnswer = false;
    FindMenuAction(form.graphPage().menu(), {"Print"})->trigger();
    EXPECT_EQ(Dialogs->PrinterSetups, 1);
    EXPECT_EQ(Dialogs->Printed.Opened, 0);
    EXPECT_EQ(Dialogs->Printed.Documents, 0);
}

TEST_F(WindowCommandsTest, PrintConfirmedPrintsOnTheChosenPrinter) {
    app::MainWindow& form = Open();
    Connect();
    Reading("10000000", 1);
    form.pages()->setCurrentWidget(&form.graphPage());
    Dialogs->PrinterSetupAnswer = true;
    FindMenuAction(form.graphPage().menu(), {"Print"})->trigger();
    EXPECT_EQ(Dialogs->PrinterSetups, 1);
    EXPECT_EQ(Dialogs->Printed.Opened, 1);
    EXPECT_EQ(Dialogs->Printed.Documents, 1);
    EXPECT_GT(Dialogs->Printed.FilledBlocks, 0);
    EXPECT_EQ(Dialogs->Printed.Finished, 1);
}

TEST_F(WindowCommandsTest, CopyPutsTheGraphsPixelsOnTheClipboard) {
    app::MainWindow& form = Open();
    Connect();
    Reading("10000000", 1);
    Reading("10000100", 2);
    form.pages()->setCurrentWidget(&form.graphPage());
    FindMenuAction(form.graphPage().menu(), {"Copy graph to clipboard"})->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), form.graphPage().plot()->size());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              form.graphPage().plot()->picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(WindowCommandsTest, UnzoomOnAnUnzoomedGraphChangesNothing) {
    app::MainWindow& form = Open();
    Connect();
    Reading("10000000", 1);
    form.pages()->setCurrentWidget(&form.graphPage());
    form.graphPage().plot()->repaint();
    const QImage before = form.graphPage().plot()->picture().copy();
    FindMenuAction(form.graphPage().menu(), {"Unzoom"})->trigger();
    form.graphPage().plot()->repaint();
    EXPECT_EQ(form.graphPage().plot()->picture(), before);
}

} // namespace
