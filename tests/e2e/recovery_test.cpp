// SPDX-License-Identifier: GPL-3.0-or-later
// The program killed with SIGKILL while it measures continuously: the next start recovers what it
// had shown, losing at most the last second.

#include "tests/e2e/e2e_fixture.h"

#include "graph/xy_plot.h"
#include "recording/date_text.h"

#include <QTest>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>

namespace {

TEST_F(EndToEndTest, AKilledMeasurementIsRecoveredUpToOneSecondBeforeTheKill) {
    VirtualCounter& counter = startCounter(
        {"--start", "continuous", "--gate", "0.1", "--format", "hertz", "--seed", "5"}, "sent.log");
    std::ofstream(folderFile("Zorvimet.ini"), std::ios::binary) << counter.comName << "\r\n";
    talvek::test::ChildProcess program;
    ASSERT_TRUE(
        program.start(MEASURING_WINDOW, {sandbox.path()}, {{"XDG_DATA_HOME", sandbox.path()}}));
    ASSERT_TRUE(waitFor([&] { return counter.sentReadings().size() >= 30; }, 60000));
    const std::size_t sentBeforeTheLastSecond = counter.sent().size();
    QTest::qWait(1000);
    program.signal(SIGKILL);
    ASSERT_TRUE(program.waitFinished(5000));
    ASSERT_GT(counter.sent().size(), sentBeforeTheLastSecond) << "it was measuring";

    dialogs->questionAnswer = true;
    openWindow();
    ASSERT_TRUE(waitFor([&] { return !dialogs->questions.empty(); }));
    const std::vector<LoggedReading> recovered = loggedReadings();
    EXPECT_EQ(dialogs->questions,
              std::vector<std::string>{"Recover the unsaved measurement of " +
                                       recording::dateTimeToStr(window->startTime()) + " (" +
                                       std::to_string(recovered.size()) + " readings)?"});
    // The window shows no reading ahead of the identification reply, which connects it.
    const std::vector<SentTelegram> sent = counter.sent();
    const auto connected = std::find_if(sent.begin(), sent.end(),
                                        [](const SentTelegram& t) { return t.kind == "reply"; });
    ASSERT_NE(connected, sent.end());
    const std::vector<SentTelegram> shown(connected + 1, sent.end());
    const auto shownBeforeTheLastSecond =
        sentBeforeTheLastSecond - static_cast<std::size_t>(connected + 1 - sent.begin());
    EXPECT_EQ(compareReadings(shown, recovered, true, shownBeforeTheLastSecond), "");
}

// The same for the time-interval counter: its phase readings come back as phase, and saved.
TEST_F(EndToEndTest, AKilledTimeIntervalRecordingIsRecoveredAsPhaseAndSaved) {
    VirtualCounter& counter =
        startCounter({"--instrument", "tic", "--gate", "0.1", "--seed", "6"}, "sent.log");
    std::ofstream(folderFile("Zorvimet.ini"), std::ios::binary) << counter.comName << "\r\n";
    std::ofstream(folderFile("instrument.conf"), std::ios::binary) << "tic\n";
    talvek::test::ChildProcess program;
    ASSERT_TRUE(
        program.start(MEASURING_WINDOW, {sandbox.path()}, {{"XDG_DATA_HOME", sandbox.path()}}));
    ASSERT_TRUE(waitFor([&] { return counter.sentReadings().size() >= 30; }, 60000));
    const std::size_t sentBeforeTheLastSecond = counter.sentReadings().size();
    QTest::qWait(1000);
    program.signal(SIGKILL);
    ASSERT_TRUE(program.waitFinished(5000));

    dialogs->questionAnswer = true;
    openWindow();
    ASSERT_TRUE(waitFor([&] { return !dialogs->questions.empty(); }));
    const std::vector<LoggedReading> recovered = loggedReadings();
    ASSERT_GE(recovered.size(), 20u);
    EXPECT_EQ(window->graphPage().plot()->leftAxis().caption, "Phase/s");
    // The line that told the counter was there is no reading of the window's.
    const std::vector<SentTelegram> sent = counter.sentReadings();
    const auto first = std::find_if(sent.begin(), sent.end(), [&](const SentTelegram& line) {
        return line.value &&
               std::fabs(*line.value - recovered.front().value) <= 1e-13 * std::fabs(*line.value);
    });
    ASSERT_NE(first, sent.end());
    EXPECT_LE(first - sent.begin(), 2);
    const std::vector<SentTelegram> shown(first, sent.end());
    EXPECT_EQ(
        compareReadings(shown, recovered, true,
                        sentBeforeTheLastSecond - static_cast<std::size_t>(first - sent.begin())),
        "");

    dialogs->saveAnswer = folderFile("tic.dat");
    choose(window->connectPage().logMenu(), {"save data to file"});
    EXPECT_EQ(fileLines(folderFile("tic.dat")).size(), recovered.size() + 3);
}

} // namespace
