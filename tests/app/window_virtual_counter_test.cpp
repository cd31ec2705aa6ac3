#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"
#include "portselect/com_port_combo_box.h"
#include "tests/support/child_process.h"

#include <QLabel>
#include <QListWidget>
#include <filesystem>

namespace {

// The window against the virtual counter program, a real process on its own pseudo-terminal.
class WindowVirtualCounterTest : public WindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(Counter21.Start(
            VIRTUAL_KELVO,
            {"--com", "21", "--gate", "0.1", "--format", "hertz", "--start", "continuous"},
            {{"XDG_DATA_HOME", Sandbox.Path()}}));
        ASSERT_TRUE(WaitFor(
            [this] { return std::filesystem::is_symlink(FolderFile("talvek/ports/com21")); }));
    }

    void TearDown() override { Counter21.Stop(); }

    TChildProcess Counter21;
};

TEST_F(WindowVirtualCounterTest, ReadingsReachLogDisplayAndGraph) {
    WriteBytes(SettingsFile(), "COM21\r\n");
    RealClock = true;
    app::MainWindow& form = Open();
    EXPECT_EQ(form.connectPage().portSelector()->Port(), "COM21");
    Connect();
    EXPECT_EQ(Caption(), "Connected to " + form.counter().device() + " on port COM21");
    EXPECT_EQ(form.counter().device().rfind("kelvo", 0), 0u);
    ASSERT_TRUE(WaitFor([&] { return form.log().count() >= 3; }));
    EXPECT_TRUE(form.displayPage().readingLabel()->text().endsWith("  Hz"))
        << form.displayPage().readingLabel()->text().toStdString();
    EXPECT_EQ(form.graphPage().plot()->leftAxis().caption, "Frequency/Hz");
    ASSERT_GE(form.graphPage().plot()->traces()[0].points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(form.graphPage().plot()->traces()[0].points[i].y, 1e7, 1e3);
    }
    EXPECT_LT(form.graphPage().plot()->traces()[0].points[0].x,
              form.graphPage().plot()->traces()[0].points[2].x);

    FindMenuAction(form.commandsPage().commandMenu(), {"Measure", "stop"})->trigger();
    WaitForReplies();
    EXPECT_EQ(RepliesShown(), std::vector<std::string>{"OK"});

    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.close());
    EXPECT_EQ(FileBytes(SettingsFile()).substr(0, 7), "COM21\r\n");
    const std::string saved = FileBytes(FolderFile("last_measurement.dat"));
    EXPECT_GE(std::count(saved.begin(), saved.end(), '\n'), 3 + form.log().count());
}

} // namespace
