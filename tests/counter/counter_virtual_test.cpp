#include "counter/event_wait.h"
#include "counter/kelvo_counter.h"
#include "platform/clock.h"
#include "platform/port_catalog.h"
#include "tests/support/child_process.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DriverAndVirtualCounter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
        // Only the test's own links are ports; the machine's serial devices are never touched.
        const std::string none = home.filePath("none").toStdString();
        platform::installSystemPortCatalog(
            std::make_shared<platform::PortCatalog>(platform::MachineFolders{none, none, none}));
        ASSERT_TRUE(instrument.Start(VIRTUAL_KELVO_PATH,
                                     {"--com", "31", "--start", "idle", "--seed", "7"}));
        EXPECT_EQ(instrument.ReadOutput(5000).rfind("virtual-kelvo serving COM31", 0), 0u);
        counter.OnData = [this](QObject*) { values.push_back(counter.Value); };
    }
    void TearDown() override {
        counter.Disconnect();
        instrument.Stop();
    }
    // Keeps the event loop turning until `count` readings are in or the time is up.
    void WaitForReadings(std::size_t count, std::int64_t ms) {
        const std::int64_t end = platform::MonotonicMs() + ms;
        WaitWithEvents([&] { return values.size() >= count || platform::MonotonicMs() > end; });
    }

    QTemporaryDir home;
    TChildProcess instrument;
    TKELVO_Counter counter;
    std::vector<double> values;
};

TEST_F(DriverAndVirtualCounter, IdentifiesMeasuresAndObeysCommands) {
    counter.ComPort = "COM31";
    ASSERT_TRUE(counter.Connect(true));
    EXPECT_EQ(counter.Device().rfind("kelvo", 0), 0u);
    EXPECT_EQ(counter.Device().substr(counter.Device().size() - 8), "-counter");

    EXPECT_TRUE(counter.SetGateTime(0.1f));
    EXPECT_TRUE(counter.MeasureContinuous());
    WaitForReadings(5, 5000);
    ASSERT_GE(values.size(), 5u);
    for (double v : values) {
        EXPECT_NEAR(v, 10e6, 1000.0);
    }
    EXPECT_FALSE(counter.IsPeriod);
    EXPECT_EQ(counter.Telegram.size(), 32u);

    EXPECT_TRUE(counter.SetTelegram(true));
    values.clear();
    WaitForReadings(3, 5000);
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(counter.UnitText, "Hz");
    EXPECT_EQ(counter.ValueText, counter.Telegram);

    EXPECT_TRUE(counter.SetMode(1));
    EXPECT_TRUE(counter.SetTelegram(false));
    values.clear();
    WaitForReadings(3, 5000);
    ASSERT_FALSE(values.empty());
    EXPECT_TRUE(counter.IsPeriod);
    EXPECT_NEAR(values.back(), 1e-7, 1e-10);

    EXPECT_TRUE(counter.MeasureStop());
    EXPECT_EQ(counter.StatusText, "OK");
}

} // namespace
