// SPDX-License-Identifier: GPL-3.0-or-later
// The program killed with SIGKILL while it measures continuously: the next start recovers what it
// had shown, losing at most the last second.

#include "tests/e2e/e2e_fixture.h"

#include "recording/date_text.h"

#include <QTest>
#include <algorithm>
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

} // namespace
