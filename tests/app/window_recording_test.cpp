// SPDX-License-Identifier: GPL-3.0-or-later
// The recording journal of a connection, its recovery at the next start and "Open measurement...".

#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "analysis/deviation_table.h"
#include "analysis/stability.h"
#include "app/formats/io_messages.h"
#include "app/formats/log_line.h"
#include "app/run_list.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "counter/telegram_reading.h"
#include "graph/xy_plot.h"
#include "recording/date_text.h"
#include "recording/float_text.h"
#include "recording/journal_reader.h"
#include "recording/journal_writer.h"
#include "recording/utc_time.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The page's first choice: the Allan deviation alone.
analysis::StabilityOptions allanOnly() {
    analysis::StabilityOptions options;
    options.kinds = {analysis::Deviation::Allan};
    return options;
}

namespace fs = std::filesystem;

std::string displayDump(const std::string& unit, const std::string& number) {
    return "av" + std::string(15, '-') + unit + " " + number;
}

class WindowRecordingTest : public WindowTest {
protected:
    std::string journal(const std::string& name = {}) const {
        return folderFile("talvek") + (name.empty() ? "" : "/" + name);
    }

    // The ".tvj" files of the journal folder, sorted.
    std::vector<std::string> journals() const {
        std::vector<std::string> names;
        fs::create_directories(journal());
        for (const auto& entry : fs::directory_iterator(journal())) {
            if (entry.path().extension() == ".tvj") {
                names.push_back(entry.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // A journal as a killed run leaves it: readings 100 ms apart.
    void writeJournal(const std::string& name, double startTime,
                      const std::vector<std::string>& telegrams) {
        fs::create_directories(journal());
        const std::string path = journal(name);
        recording::JournalWriter writer(
            platform::UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)),
            path, {startTime, "COM7"});
        double timeMs = 0;
        for (const std::string& telegram : telegrams) {
            const counter::Reading reading = *counter::readingFromTelegram(telegram);
            writer.appendReading(timeMs += 100, reading.value, reading.unitText, telegram);
        }
        EXPECT_TRUE(writer.close());
    }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < window->log().count(); ++i) {
            lines.push_back(window->log().line(i));
        }
        return lines;
    }

    void clickConnectButton() { window->connectPage().connectButton()->click(); }

    void openThroughMenu(const std::string& fileName) {
        dialogs->openAnswer = fileName;
        talvek::test::findMenuAction(window->connectPage().logMenu(), {"Open measurement..."})
            ->trigger();
        EXPECT_TRUE(waitFor([this] { return !window->loadingMeasurement(); }));
    }

    // Every run closes, the one shown last: the next file opened is shown alone.
    void closeRuns() {
        while (!window->runs().runs().empty()) {
            QCoreApplication::processEvents(); // the run menus follow the list
            const std::size_t held = window->runs().runs().size();
            talvek::test::findMenuAction(window->graphPage().menu(),
                                         {"Runs", window->runs().runs().back().name, "Close"})
                ->trigger();
            ASSERT_EQ(window->runs().runs().size(), held - 1);
        }
        QCoreApplication::processEvents();
    }

    // The window goes without a clean close, as in a crash.
    void abandon() {
        window->counter().disconnectFromInstrument();
        window.reset();
    }

    // Opens a .dat of `count` readings 250 ms apart and returns them.
    std::vector<analysis::Reading> openReadings(int count) {
        std::string text = "/* KELVO counter data: t/ms, f/Hz\n/* someday\n/*\n";
        std::vector<analysis::Reading> readings;
        for (int i = 0; i < count; ++i) {
            readings.push_back({250.0 * i, 5e6 + (i * i % 7) * 0.25});
            text +=
                std::to_string(250 * i) + ' ' + recording::floatToStr(readings.back().value) + '\n';
        }
        writeBytes(folderFile("readings.dat"), text);
        openThroughMenu(folderFile("readings.dat"));
        return readings;
    }

    QImage graphPicture() const {
        window->graphPage().plot()->repaint();
        return window->graphPage().plot()->picture().copy();
    }
};

// A long journal is read off the main thread: the window answers meanwhile, a progress bar tells
// how far the reading is, and the measurement shows whole once it is read.
TEST_F(WindowRecordingTest, ALongMeasurementOpensWhileTheWindowAnswers) {
    constexpr int kReadings = 1'500'000;
    fs::create_directories(journal());
    const std::string path = journal("long.tvj");
    {
        recording::JournalWriter::Options options;
        options.queueLimitBytes = std::size_t{1} << 30;
        recording::JournalWriter writer(
            platform::UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)),
            path, {46000.5, "COM7"}, {}, options);
        for (int i = 0; i < kReadings; ++i) {
            const std::string telegram = "10000000." + std::to_string(1000 + i % 9000);
            writer.appendReading(36.0 * i, std::stod(telegram), "Hz", telegram);
        }
        ASSERT_TRUE(writer.close());
    }
    app::MainWindow& form = open();
    int turnsWhileReading = 0;
    QTimer turns;
    QObject::connect(&turns, &QTimer::timeout,
                     [&] { turnsWhileReading += form.loadingMeasurement() ? 1 : 0; });
    turns.start(5);
    dialogs->openAnswer = path;
    talvek::test::findMenuAction(form.connectPage().logMenu(), {"Open measurement..."})->trigger();
    EXPECT_TRUE(form.loadingMeasurement());
    int progressShown = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            progressShown = std::max(
                progressShown, form.loadProgress().isVisible() ? form.loadProgress().value() : 0);
            return !form.loadingMeasurement();
        },
        120000));
    EXPECT_GT(turnsWhileReading, 5);
    EXPECT_GT(progressShown, 0);
    EXPECT_FALSE(form.loadProgress().isVisible());
    EXPECT_EQ(form.log().count(), kReadings);
    EXPECT_EQ(form.log().line(kReadings - 1), app::logLine(36.0 * (kReadings - 1), 10000000.6999,
                                                           recording::machineDecimalSeparator()));
    EXPECT_EQ(form.graphPage().plot()->traces().at(0).points.size(), std::size_t{kReadings});
    EXPECT_EQ(form.statusText(), "Opened long.tvj: 1500000 readings.");
}

TEST_F(WindowRecordingTest, JournalHoldsTheConnectionAndGoesOnlyAfterTheCloseTimeExport) {
    for (const bool exportFails : {false, true}) {
        SCOPED_TRACE(exportFails ? "export fails" : "export written");
        app::MainWindow& form = open();
        connectCounter();
        nowMs += 2000;
        sendReading("10000000.5", 1);
        scriptedCounter.send("OK");
        EXPECT_TRUE(waitFor([&] { return repliesShown() == std::vector<std::string>{"OK"}; }));
        nowMs += 500;
        sendReading(displayDump(" us", "      1.500"), 2);
        const std::string name = "recording-" + std::to_string(::getpid()) + ".tvj";
        EXPECT_EQ(journals(), std::vector<std::string>{name});
        nowMs += 100;
        clickConnectButton();

        // Everything is on disk once disconnected.
        std::vector<std::string> records;
        const recording::JournalReadResult read =
            recording::readJournal(journal(name), [&](const recording::JournalRecord& record) {
                std::ostringstream text;
                text << int(record.kind) << ' ' << record.timeMs << ' ' << record.value << ' '
                     << record.unit << ' ' << record.telegram;
                records.push_back(text.str());
            });
        EXPECT_EQ(read.header.startTime, form.startTime());
        EXPECT_EQ(read.header.port, "COM7");
        EXPECT_EQ(records,
                  (std::vector<std::string>{
                      "1 2000 1e+07 Hz 10000000.5", "2 2000 0  OK",
                      "1 2500 1.5e-06 us " + displayDump(" us", "      1.500"), "3 2600 0  "}));

        if (exportFails) {
            fs::remove(folderFile("last_measurement.dat"));
            fs::create_directory(folderFile("last_measurement.dat"));
        }
        EXPECT_TRUE(form.close());
        EXPECT_EQ(journals().size(), exportFails ? 1u : 0u);
        window.reset();
    }
}

TEST_F(WindowRecordingTest, LeftoverIsOfferedAtStartThenRecoveredOrKeptAsideTenAtMost) {
    const std::vector<std::string> telegrams = {"10000000.5", "10000001.25",
                                                displayDump(" us", "      1.500")};
    const double startTime = 46000.5; // 2025-12-09 12:00
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        for (const std::string& name : journals()) {
            fs::remove(journal(name));
        }
        for (int second = 10; second <= 20; ++second) {
            writeBytes(journal("journal-2020-01-01T00-00-" + std::to_string(second) + ".tvj"), "");
        }
        writeJournal("recording-1.tvj", startTime, telegrams);
        writeBytes(journal("recording-2.tvj"), "");     // a run killed before its first byte
        writeJournal("recording-3.tvj", startTime, {}); // a connect that read nothing
        // The most recently written are looked at first: these two are gone before the offer.
        fs::last_write_time(journal("recording-1.tvj"),
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        dialogs->questions.clear();
        dialogs->questionAnswer = yes;

        app::MainWindow& form = open();
        EXPECT_EQ(dialogs->questions,
                  std::vector<std::string>{"Recover the unsaved measurement of " +
                                           recording::dateTimeToStr(startTime) + " (3 readings)?"});
        std::vector<std::string> kept;
        if (yes) {
            const char separator = recording::machineDecimalSeparator();
            EXPECT_EQ(logLines(),
                      (std::vector<std::string>{app::logLine(100, 10000000.5, separator),
                                                app::logLine(200, 10000001.25, separator),
                                                app::logLine(300, 1.5e-6, separator)}));
            EXPECT_EQ(form.startTime(), startTime);
            EXPECT_EQ(form.statusText(), "Recovered 3 readings.");
            EXPECT_EQ(form.graphPage().plot()->traces().at(0).points.size(), 3u);
            EXPECT_TRUE(form.graphPage().plot()->rulerOn());
            EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Period/s");
            kept = {"recording-1.tvj"}; // the window's journal now
        } else {
            EXPECT_EQ(form.log().count(), 0);
            kept = {"journal-2025-12-09T12-00-00.tvj"};
        }
        for (int second = yes ? 11 : 12; second <= 20; ++second) {
            kept.push_back("journal-2020-01-01T00-00-" + std::to_string(second) + ".tvj");
        }
        std::sort(kept.begin(), kept.end());
        EXPECT_EQ(journals(), kept);
        EXPECT_TRUE(form.close());
        EXPECT_EQ(journals().size(), 10u);
        window.reset();
    }
}

TEST_F(WindowRecordingTest, AJournalInUseIsNeverOfferedButOneLeftByACrashIs) {
    open();
    connectCounter();
    sendReading("10000000.5", 1);
    // Another window's journal, in this process or another: its lock keeps it from the offer.
    const std::string foreign = journal("recording-999999.tvj");
    writeJournal("recording-999999.tvj", 46000.5, {"10000000.5"});
    const int lock = ::open(foreign.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    app::WindowEnvironment environment;
    environment.settingsFolder = sandbox.path();
    environment.dialogs = dialogs;
    {
        app::MainWindow second(environment);
        second.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialogs->questions.empty());
    }
    ::close(lock);
    abandon();
    open();
    EXPECT_EQ(dialogs->questions.size(), 2u);
}

TEST_F(WindowRecordingTest, AJournalThatCannotBeWrittenIsToldAndTheMeasurementGoesOn) {
    struct Case {
        const char* what;
        std::string folder;
        std::function<void()> spoil;
        std::string notice;
    };
    const std::string pid = std::to_string(::getpid());
    const std::string full = folderFile("full");
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const Case cases[] = {
        {"folder is a file", folderFile("file/talvek"), [&] { writeBytes(folderFile("file"), ""); },
         "Recording journal stopped: cannot create the folder " + folderFile("file/talvek") +
             ": Not a directory. The measurement goes on in memory."},
        // A file size limit stands in for a disk that fills up: the header fits, no reading does.
        {"disk is full", full,
         [&] {
             rlimit small = unlimited;
             small.rlim_cur = 40;
             setrlimit(RLIMIT_FSIZE, &small);
         },
         "Recording journal stopped: cannot write the measurement journal " + full + "/recording-" +
             pid + ".tvj: File too large. The measurement goes on in memory."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        dataFolder = c.folder;
        app::MainWindow& form = open();
        connectCounter();
        sendReading("10000000.5", 1);
        EXPECT_TRUE(waitFor([&] { return !form.journalNotice().empty(); }));
        EXPECT_EQ(form.journalNotice(), c.notice);
        sendReading("10000001.5", 2);
        EXPECT_EQ(form.statusText(), "10000001.5");
        EXPECT_EQ(form.journalNotice(), c.notice);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        abandon();
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(WindowRecordingTest, RoundTripSavedFilesOpenAndSaveAgainByteForByte) {
    app::MainWindow& form = open();
    form.pages()->setCurrentWidget(&form.graphPage());
    connectCounter();
    const std::vector<std::string> telegrams = {"10000000.5", "123456789012.3", "0.000015",
                                                "9999999.99"};
    for (std::size_t i = 0; i < telegrams.size(); ++i) {
        nowMs += 1234;
        sendReading(telegrams[i], static_cast<int>(i) + 1);
    }
    clickConnectButton();
    const QImage measured = graphPicture();
    for (const std::string extension : {".dat", ".csv"}) {
        SCOPED_TRACE(extension);
        dialogs->saveAnswer = folderFile("first" + extension);
        saveThroughMenu();
        closeRuns();
        ASSERT_NE(graphPicture(), measured);

        openThroughMenu(folderFile("first" + extension));
        EXPECT_EQ(form.statusText(), "Opened first" + extension + ": 4 readings.");
        EXPECT_EQ(graphPicture(), measured);
        dialogs->saveAnswer = folderFile("again" + extension);
        saveThroughMenu();
        EXPECT_EQ(fileBytes(folderFile("again" + extension)),
                  fileBytes(folderFile("first" + extension)));
    }
    EXPECT_TRUE(dialogs->errors.empty());
}

// "Timestamped CSV": each reading at the moment it arrived, in UTC; such a file opens and saves
// again byte for byte, and so does a journal's run, whose header holds its connect time.
TEST_F(WindowRecordingTest, TimestampedCsvHoldsUtcTimesAndRoundTrips) {
    app::MainWindow& form = open();
    const std::size_t timestamped = 2;
    const double journalStart = recording::localDateTimeOfUtcMs(1'796'775'730'123);
    writeJournal("run.tvj", journalStart, {"10000000.5", "9999999.25"});
    openThroughMenu(journal("run.tvj"));
    dialogs->saveAnswer = app::SaveChoice(folderFile("utc.csv"), timestamped);
    saveThroughMenu();
    EXPECT_EQ(fileBytes(folderFile("utc.csv")),
              "time_utc,value\r\n2026-12-09T00:22:10.223Z,10000000.5\r\n"
              "2026-12-09T00:22:10.323Z,9999999.25\r\n");
    EXPECT_EQ(dialogs->lastFilter, "data file (*.dat)|*.dat|csv file (*.csv)|*.csv|"
                                   "Timestamped CSV (*.csv)|*.csv");

    closeRuns();
    openThroughMenu(folderFile("utc.csv"));
    EXPECT_EQ(form.statusText(), "Opened utc.csv: 2 readings.");
    const char separator = recording::machineDecimalSeparator();
    EXPECT_EQ(logLines(), (std::vector<std::string>{app::logLine(0, 10000000.5, separator),
                                                    app::logLine(100, 9999999.25, separator)}));
    dialogs->saveAnswer = app::SaveChoice(folderFile("again.csv"), timestamped);
    saveThroughMenu();
    EXPECT_EQ(fileBytes(folderFile("again.csv")), fileBytes(folderFile("utc.csv")));
    EXPECT_TRUE(dialogs->errors.empty());

    // A plain .csv has no start: it has no UTC times, and nothing is written.
    dialogs->saveAnswer = folderFile("plain.csv");
    saveThroughMenu();
    closeRuns();
    openThroughMenu(folderFile("plain.csv"));
    dialogs->saveAnswer = app::SaveChoice(folderFile("none.csv"), timestamped);
    saveThroughMenu();
    EXPECT_EQ(dialogs->errors, std::vector<std::string>{app::kUnknownStartTime});
    EXPECT_FALSE(fs::exists(folderFile("none.csv")));
}

TEST_F(WindowRecordingTest, OpeningCountsBadLinesFromTheFirst) {
    app::MainWindow& form = open();
    connectCounter();
    sendReading("10000000.5", 1);
    clickConnectButton();

    writeBytes(folderFile("notes.txt"), "no\nreadings\n");
    openThroughMenu(folderFile("notes.txt"));
    EXPECT_EQ(dialogs->errors, std::vector<std::string>{
                                   "No readings opened from notes.txt. 2 lines are no reading and "
                                   "were left out, the first is line 1."});
    EXPECT_EQ(form.log().count(), 1);
    closeRuns();

    writeBytes(folderFile("bad.dat"),
               "/* KELVO counter data: t/ms, f/Hz\n/* someday\n/*\n100 5\n1oo 6\n300 7,5\n");
    openThroughMenu(folderFile("bad.dat"));
    EXPECT_EQ(form.statusText(),
              "Opened bad.dat: 2 readings. 1 line is no reading and was left out, the first is "
              "line 5. The start time \"someday\" does not read as a date in this machine's "
              "format; the readings keep their times since the start.");
    const char separator = recording::machineDecimalSeparator();
    EXPECT_EQ(logLines(), (std::vector<std::string>{app::logLine(100, 5, separator),
                                                    app::logLine(300, 7.5, separator)}));
    EXPECT_EQ(form.startTime(), 0.0);
}

TEST_F(WindowRecordingTest, AnOpenedMeasurementIsAnalysedOnTheStabilityPage) {
    app::MainWindow& form = open();
    const std::vector<analysis::Reading> readings = openReadings(40);
    form.pages()->setCurrentWidget(&form.stabilityPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().upToDate(); }));
    EXPECT_EQ(form.stabilityPage().shown().values, 40);
    const auto expected = analyzeReadings(readings, allanOnly());
    ASSERT_EQ(form.stabilityPage().table()->rowCount(), static_cast<int>(expected.points.size()));
    for (std::size_t row = 0; row < expected.points.size(); ++row) {
        EXPECT_EQ(
            form.stabilityPage().table()->item(static_cast<int>(row), 4)->text().toStdString(),
            analysis::deviationCells(expected.points[row]).value);
    }
}

// An opened journal shows its gaps as the live window did: a row of the log, a break of the
// graph's line, and the stability split there although the time stamps run on evenly.
TEST_F(WindowRecordingTest, AnOpenedJournalsGapsAreShownAndSplitTheStability) {
    app::MainWindow& form = open();
    const std::string path = folderFile("gaps.tvj");
    {
        recording::JournalWriter writer(
            platform::UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)),
            path, {46000.5, "COM7"});
        for (int i = 1; i <= 40; ++i) {
            if (i == 21) {
                writer.appendGap({2000, 2100, recording::GapCause::LostTelegrams, 3});
            }
            const std::string telegram = "1000000" + std::to_string(i % 7) + ".5";
            writer.appendReading(100.0 * i, std::stod(telegram), "Hz", telegram);
        }
        EXPECT_TRUE(writer.close());
    }
    openThroughMenu(path);
    ASSERT_EQ(form.log().count(), 40);
    ASSERT_EQ(form.log().rowCount(), 41);
    EXPECT_EQ(form.log().rowText(20), "2000        gap of 0" +
                                          std::string(1, recording::machineDecimalSeparator()) +
                                          "1 s: 3 telegrams lost");
    EXPECT_EQ(form.log().rowText(21), form.log().line(20));
    EXPECT_EQ(form.graphPage().plot()->traces().at(0).points.breaks(),
              std::vector<std::size_t>{20});
    form.pages()->setCurrentWidget(&form.stabilityPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().upToDate(); }));
    EXPECT_EQ(form.stabilityPage().shown().values, 40);
    EXPECT_EQ(form.stabilityPage().shown().segments, 2);
}

// A Ctrl-drag on the graph narrows what the zoomed span analyses to the readings it shows.
TEST_F(WindowRecordingTest, TheZoomedSpanIsWhatTheGraphShows) {
    app::MainWindow& form = open();
    const std::vector<analysis::Reading> readings = openReadings(200);
    form.pages()->setCurrentWidget(&form.graphPage());
    graph::XyPlot& plot = *form.graphPage().plot();
    plot.repaintNow();
    const QPoint from(plot.width() * 3 / 10, plot.height() / 5);
    const QPoint to(plot.width() / 2, plot.height() * 7 / 10);
    for (const auto& [type, at] :
         {std::pair{QEvent::MouseButtonPress, from}, std::pair{QEvent::MouseMove, to},
          std::pair{QEvent::MouseButtonRelease, to}}) {
        QMouseEvent event(type, QPointF(at), QPointF(plot.mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::ControlModifier);
        QCoreApplication::sendEvent(&plot, &event);
    }
    plot.repaintNow();
    const app::TimeSpan shown = form.graphPage().shownTimeSpan();
    const auto inside = std::ranges::count_if(readings, [&](const analysis::Reading& r) {
        return r.timeMs >= shown.fromSeconds * 1000 && r.timeMs <= shown.toSeconds * 1000;
    });
    EXPECT_GT(inside, 20);
    EXPECT_LT(inside, 120);
    talvek::test::findMenuAction(form.stabilityPage().menu(), {"Span", "Zoomed span of the graph"})
        ->trigger();
    form.pages()->setCurrentWidget(&form.stabilityPage());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.stabilityPage().upToDate(); }));
    EXPECT_EQ(form.stabilityPage().shown().values, inside);
}

} // namespace
