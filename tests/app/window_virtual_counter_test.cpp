// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "counter/driver.h"
#include "graph/xy_plot.h"
#include "portselect/port_selector.h"
#include "tests/support/child_process.h"

#include <QLabel>
#include <QListWidget>
#include <filesystem>

namespace {

// The window against the virtual counter program, a real process on its own pseudo-terminal.
class WindowVirtualCounterTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(counter21.start(
            VIRTUAL_KELVO,
            {"--com", "21", "--gate", "0.1", "--format", "hertz", "--start", "continuous"},
            {{"XDG_DATA_HOME", sandbox.path()}}));
        ASSERT_TRUE(waitFor(
            [this] { return std::filesystem::is_symlink(folderFile("talvek/ports/com21")); }));
    }

    void TearDown() override { counter21.stop(); }

    talvek::test::ChildProcess counter21;
};

TEST_F(WindowVirtualCounterTest, ReadingsReachLogDisplayAndGraph) {
    writeBytes(settingsFile(), "COM21\r\n");
    realClock = true;
    app::MainWindow& form = open();
    EXPECT_EQ(form.connectPage().portSelector()->port(), "COM21");
    connectCounter();
    EXPECT_EQ(caption(), "Connected to " + form.counter().device() + " on port COM21");
    EXPECT_EQ(form.counter().device().rfind("kelvo", 0), 0u);
    ASSERT_TRUE(waitFor([&] { return form.log().count() >= 3; }));
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  Hz"))
        << form.displayPage().readingLabel()->text().toStdString();
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/Hz");
    ASSERT_GE(form.graphPage().plot()->traces()[0].points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(form.graphPage().plot()->traces()[0].points[i].y, 1e7, 1e3);
    }
    EXPECT_LT(form.graphPage().plot()->traces()[0].points[0].x,
              form.graphPage().plot()->traces()[0].points[2].x);

    talvek::test::findMenuAction(form.commandsPage().commandMenu(), {"Measure", "stop"})->trigger();
    waitForReplies();
    EXPECT_EQ(repliesShown(), std::vector<std::string>{"OK"});

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.close());
    EXPECT_EQ(fileBytes(settingsFile()).substr(0, 7), "COM21\r\n");
    const std::string saved = fileBytes(folderFile("last_measurement.dat"));
    EXPECT_GE(std::count(saved.begin(), saved.end(), '\n'), 3 + form.log().count());
}

} // namespace
