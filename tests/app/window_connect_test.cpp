#include "tests/app/file_bytes.h"
#include "tests/app/window_fixture.h"

#include "app/formats/float_text.h"
#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"
#include "portselect/com_port_combo_box.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>

namespace {

using WindowConnectTest = WindowTest;

// A display dump: "av", 15 unused characters, the unit field, a blank, the 11-character number.
std::string DisplayDump(const std::string& unit, const std::string& number) {
    return "av" + std::string(15, '-') + unit + " " + number;
}

TEST_F(WindowConnectTest, ConnectShowsDeviceAndPortAndPreparesTheGraph) {
    app::TForm1& form = Open();
    form.XY->AddTrace(true, {{1, 1}});
    form.SavedPort.clear();
    Connect();
    EXPECT_EQ(Caption(), "Connected to kelvo FC-2-counter on port COM7");
    EXPECT_TRUE(form.BConnect->isChecked());
    EXPECT_EQ(form.BConnect->text(), "Disconnect");
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.SavedPort, "COM7");
    EXPECT_NE(form.StartTime, 0.0);
    EXPECT_TRUE(form.XY->XY_RulerOn());
    ASSERT_EQ(form.XY->Traces.size(), 1u); // the old traces are gone, trace 0 is new and empty
    EXPECT_FALSE(form.XY->Traces[0].RightAxis);
    EXPECT_EQ(form.XY->Traces[0].Points.Size(), 0u);
    EXPECT_EQ(Counter.received(), "\x1bI\r");

    form.BConnect->click();
    EXPECT_EQ(Caption(), "KELVO frequency counter disconnected");
    EXPECT_EQ(form.BConnect->text(), "Connect");
    EXPECT_FALSE(form.KELVO_Counter->isConnected());
}

TEST_F(WindowConnectTest, WindowIsDisabledAndBusyWhileConnecting) {
    app::TForm1& form = Open();
    std::vector<std::pair<bool, std::string>> seen;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { seen.emplace_back(form.isEnabled(), Caption()); });
    probe.start(5);
    Counter.answer("I", ""); // a silent counter: the identify wait runs its full time
    Connect();
    probe.stop();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(false, std::string("busy...")));
    EXPECT_EQ(Caption(), "Connected to unknown on port COM7");
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(WindowConnectTest, FailedConnectEmptiesTheLogButKeepsTheGraph) {
    app::TForm1& form = Open();
    Connect();
    Reading("10000000.5", 1);
    form.BConnect->click(); // disconnect keeps log and graph
    EXPECT_EQ(form.Log->Count(), 1);
    ASSERT_EQ(form.XY->Traces.size(), 1u);

    form.CCom->SetPort("COM7");
    std::filesystem::remove(std::filesystem::path(FolderFile("talvek/ports/com7")));
    Connect();
    EXPECT_EQ(Caption(), "KELVO frequency counter not found");
    EXPECT_FALSE(form.BConnect->isChecked());
    EXPECT_EQ(form.BConnect->text(), "Connect");
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.Log->Count(), 0);
    ASSERT_EQ(form.XY->Traces.size(), 1u);
    EXPECT_EQ(form.XY->Traces[0].Points.Size(), 1u);
}

TEST_F(WindowConnectTest, MenuEntryTogglesTheConnection) {
    app::TForm1& form = Open();
    FindMenuAction(form.PopupDisplay, {"Connect/Disconnect"})->trigger();
    ASSERT_TRUE(WaitFor([&] { return form.isEnabled(); }));
    EXPECT_TRUE(form.KELVO_Counter->isConnected());
    EXPECT_TRUE(form.BConnect->isChecked());
    FindMenuAction(form.PopupGraph, {"Connect/Disconnect"})->trigger();
    EXPECT_FALSE(form.KELVO_Counter->isConnected());
    EXPECT_FALSE(form.BConnect->isChecked());
    EXPECT_EQ(Caption(), "KELVO frequency counter disconnected");
}

TEST_F(WindowConnectTest, CloseWhileConnectedDisconnectsAndRefusesOnce) {
    app::TForm1& form = Open();
    Connect();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.KELVO_Counter->isConnected());
    EXPECT_EQ(form.StatusText(), "Serial connection closed. Try to close window again!");
    EXPECT_EQ(Caption(), "KELVO frequency counter disconnected");
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_TRUE(form.close());
    EXPECT_EQ(FileBytes(SettingsFile()).substr(0, 6), "COM7\r\n");
    EXPECT_TRUE(std::filesystem::exists(FolderFile("last_measurement.dat")));
}

TEST_F(WindowConnectTest, UnpluggedDeviceIsReportedUntilTheUserDisconnects) {
    app::TForm1& form = Open();
    Connect();
    Reading("10000000.5", 1);
    Counter.unplug();
    const std::string gone =
        "Serial device COM7 is gone (unplugged?). Disconnect and connect again.";
    EXPECT_TRUE(WaitFor([&] { return form.StatusText() == gone; })) << form.StatusText();
    EXPECT_TRUE(form.KELVO_Counter->isConnected()); // the user decides when to disconnect
    form.BConnect->click();
    EXPECT_FALSE(form.KELVO_Counter->isConnected());
    QTest::qWait(400); // a watch turn after the disconnect does not bring the message back
    EXPECT_EQ(form.StatusText(), "");
    EXPECT_EQ(form.Log->Count(), 1);
}

TEST_F(WindowConnectTest, PickingAPortChangesOnlySavedPort) {
    app::TForm1& form = Open();
    Connect();
    form.SavedPort = "COM1";
    form.CCom->activated(0);
    EXPECT_EQ(form.SavedPort, "COM7");
    EXPECT_TRUE(form.KELVO_Counter->isConnected());
}

TEST_F(WindowConnectTest, ReadingIsLoggedDisplayedAndPlotted) {
    app::TForm1& form = Open();
    Connect();
    NowMs += 2000;
    Reading("10000000.5", 1);
    const char sep = app::MachineDecimalSeparator();
    EXPECT_EQ(form.Log->Line(0), std::string("2000        10000000") + sep + "5");
    EXPECT_EQ(form.StatusText(), "10000000.5");
    EXPECT_EQ(form.LFreq->text(), "10 000 000.5  Hz");
    EXPECT_EQ(form.XY->Y_Left_Caption, "Frequency/Hz");
    EXPECT_EQ(form.XY->Y_Left_ScaleFactor, 1.0);
    ASSERT_EQ(form.XY->Traces[0].Points.Size(), 1u);
    EXPECT_EQ(form.XY->Traces[0].Points[0].X, 2.0);
    EXPECT_EQ(form.XY->Traces[0].Points[0].Y, 10000000.5);

    NowMs += 1;
    Reading("10000001", 2);
    EXPECT_EQ(form.Log->Line(1), "2001        10000001");
    // The newest line is scrolled into view.
    QCoreApplication::processEvents();
    const QRect newest = form.LB->visualRect(form.Log->index(1));
    EXPECT_TRUE(form.LB->viewport()->rect().contains(newest));
    EXPECT_EQ(form.LB->rowHeight(0), form.LB->rowHeight(1));
    EXPECT_GE(form.LB->rowHeight(0), QFontMetrics(form.LB->font()).height());
}

TEST_F(WindowConnectTest, TimeStampsFollowTheMonotonicClockFromTheConnectAttempt) {
    app::TForm1& form = Open();
    NowMs = 5'000'000;
    Connect();
    NowMs += 123;
    Reading("10000000", 1);
    Reading("10000000", 2); // the same moment twice
    NowMs += 60'000;
    Reading("10000000", 3);
    EXPECT_EQ(form.Log->Line(0).substr(0, 11), "123        ");
    EXPECT_EQ(form.Log->Line(1).substr(0, 11), "123        ");
    EXPECT_EQ(form.Log->Line(2).substr(0, 13), "60123        ");
}

TEST_F(WindowConnectTest, PeriodReadingSetsThePeriodCaption) {
    app::TForm1& form = Open();
    Connect();
    form.MHz1Click();
    Reading(DisplayDump(" us", "      1.500"), 1);
    EXPECT_EQ(form.Log->Line(0).substr(form.Log->Line(0).size() - 6), "1.5E-6");
    EXPECT_EQ(form.XY->Y_Left_Caption, "Period/s");
    EXPECT_EQ(form.XY->Y_Left_ScaleFactor, 1e-6); // a period leaves the factor alone
    EXPECT_TRUE(form.LFreq->text().endsWith("1.500   us")) << form.LFreq->text().toStdString();
}

TEST_F(WindowConnectTest, MegahertzPlotsTenForTenMegahertz) {
    app::TForm1& form = Open();
    Connect();
    FindMenuAction(form.PopupGraph, {"Frequency unit", "MHz"})->trigger();
    EXPECT_EQ(form.FrequencyDivisor, 1e6);
    EXPECT_EQ(form.XY->Y_Left_Caption, "Frequency/MHz");
    Reading(DisplayDump("MHz", "  10.000000"), 1);
    EXPECT_EQ(form.XY->Y_Left_Caption, "Frequency/MHz");
    EXPECT_EQ(form.XY->Traces[0].Points[0].Y * form.XY->Y_Left_ScaleFactor, 10.0);
    EXPECT_EQ(form.Log->Line(0).substr(form.Log->Line(0).size() - 8), "10000000");
}

TEST_F(WindowConnectTest, UnitEntriesSetDivisorCaptionAndFactor) {
    app::TForm1& form = Open();
    const struct {
        std::vector<std::string> Entry;
        double Divisor;
        const char* Caption;
    } time[] = {{{"Time unit", "minutes"}, 60, "Time/min"},
                {{"Time unit", "hours"}, 3600, "Time/h"},
                {{"Time unit", "seconds"}, 1, "Time/s"}},
      frequency[] = {{{"Frequency unit", "kHz"}, 1e3, "Frequency/kHz"},
                     {{"Frequency unit", "GHz"}, 1e9, "Frequency/GHz"},
                     {{"Frequency unit", "Hz"}, 1, "Frequency/Hz"}};
    for (const auto& c : time) {
        FindMenuAction(form.PopupGraph, c.Entry)->trigger();
        EXPECT_EQ(form.TimeDivisor, c.Divisor);
        EXPECT_EQ(form.XY->X_Caption, c.Caption);
        EXPECT_DOUBLE_EQ(form.XY->X_ScaleFactor, 1 / c.Divisor);
    }
    for (const auto& c : frequency) {
        FindMenuAction(form.PopupGraph, c.Entry)->trigger();
        EXPECT_EQ(form.FrequencyDivisor, c.Divisor);
        EXPECT_EQ(form.XY->Y_Left_Caption, c.Caption);
        EXPECT_DOUBLE_EQ(form.XY->Y_Left_ScaleFactor, 1 / c.Divisor);
    }
}

TEST_F(WindowConnectTest, OddDivisorKeepsTheCaptionAndScales) {
    WriteBytes(SettingsFile(), "COM7\r\n 1.00000000000000E+0000\r\n 5.00000000000000E+0002\r\n");
    app::TForm1& form = Open();
    Connect();
    form.XY->Y_Left_Caption = "Period/s";
    Reading("10000000", 1);
    EXPECT_EQ(form.XY->Y_Left_Caption, "Period/s");
    EXPECT_EQ(form.XY->Y_Left_ScaleFactor, 1.0 / 500);
}

TEST_F(WindowConnectTest, ClearEmptiesTheGraphButNotTheLog) {
    app::TForm1& form = Open();
    Connect();
    Reading("10000000", 1);
    Reading("10000001", 2);
    FindMenuAction(form.PopupGraph, {"Clear"})->trigger();
    ASSERT_EQ(form.XY->Traces.size(), 1u);
    EXPECT_EQ(form.XY->Traces[0].Points.Size(), 0u);
    EXPECT_EQ(form.Log->Count(), 2);
    Reading("10000002", 3);
    EXPECT_EQ(form.XY->Traces[0].Points.Size(), 1u);
}

TEST_F(WindowConnectTest, ConnectedPortIsSavedOnClose) {
    WriteBytes(SettingsFile(), "COM99\r\n");
    app::TForm1& form = Open();
    Connect();
    form.BConnect->click();
    EXPECT_TRUE(form.close());
    EXPECT_EQ(FileBytes(SettingsFile()).substr(0, 6), "COM7\r\n");
}

} // namespace
