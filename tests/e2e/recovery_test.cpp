// The program killed with SIGKILL while it measures continuously: the next start recovers what it
// had shown, losing at most the last second.

#include "tests/e2e/e2e_fixture.h"

#include "counter/date_text.h"

#include <QTest>
#include <algorithm>
#include <csignal>
#include <fstream>

namespace {

TEST_F(EndToEndTest, AKilledMeasurementIsRecoveredUpToOneSecondBeforeTheKill) {
    TVirtualCounter& counter = StartCounter(
        {"--start", "continuous", "--gate", "0.1", "--format", "hertz", "--seed", "5"}, "sent.log");
    std::ofstream(FolderFile("Zorvimet.ini"), std::ios::binary) << counter.Com << "\r\n";
    TChildProcess program;
    ASSERT_TRUE(
        program.Start(MEASURING_WINDOW, {Sandbox.Path()}, {{"XDG_DATA_HOME", Sandbox.Path()}}));
    ASSERT_TRUE(WaitFor([&] { return counter.SentReadings().size() >= 30; }, 60000));
    const std::size_t sentBeforeTheLastSecond = counter.Sent().size();
    QTest::qWait(1000);
    program.Signal(SIGKILL);
    ASSERT_TRUE(program.WaitFinished(5000));
    ASSERT_GT(counter.Sent().size(), sentBeforeTheLastSecond) << "it was measuring";

    Dialogs->QuestionAnswer = true;
    OpenWindow();
    ASSERT_TRUE(WaitFor([&] { return !Dialogs->Questions.empty(); }));
    const std::vector<TLoggedReading> recovered = LoggedReadings();
    EXPECT_EQ(Dialogs->Questions,
              std::vector<std::string>{"Recover the unsaved measurement of " +
                                       counter::dateTimeToStr(Form->startTime()) + " (" +
                                       std::to_string(recovered.size()) + " readings)?"});
    // The window shows no reading ahead of the identification reply, which connects it.
    const std::vector<TSentTelegram> sent = counter.Sent();
    const auto connected = std::find_if(sent.begin(), sent.end(),
                                        [](const TSentTelegram& t) { return t.Kind == "reply"; });
    ASSERT_NE(connected, sent.end());
    const std::vector<TSentTelegram> shown(connected + 1, sent.end());
    const auto shownBeforeTheLastSecond =
        sentBeforeTheLastSecond - static_cast<std::size_t>(connected + 1 - sent.begin());
    EXPECT_EQ(CompareReadings(shown, recovered, true, shownBeforeTheLastSecond), "");
}

} // namespace
