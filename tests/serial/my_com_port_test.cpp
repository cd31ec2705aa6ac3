#include "serial/my_com_port.h"

#include "platform/serial_device.h"
#include "serial/poll.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/pty_pair.h"

#include <QPointer>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using talvek::test::FakeSerialMachine;
using talvek::test::PtyPair;
using talvek::test::PumpUntil;
using namespace std::chrono_literals;

namespace {

class MyComPortTest : public ::testing::Test {
protected:
    void SetUp() override { machine.Link("COM3", pty.SlavePath()); }
    void TearDown() override {
        // Every receive thread of the test ends before the next test starts.
        EXPECT_TRUE(PumpUntil([] { return TPoll::Running() == 0; }, 5s));
    }

    PtyPair pty;
    FakeSerialMachine machine;
};

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
constexpr bool kSanitized = __has_feature(address_sanitizer) || __has_feature(thread_sanitizer);
#else
constexpr bool kSanitized = false;
#endif

// The process's mapped address space.
std::size_t MappedBytes() {
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace

TEST(MyComPortDefaults, AreThoseOfAnUnconfiguredPort) {
    TMyComPort port;
    EXPECT_EQ(port.ComPort, "");
    EXPECT_EQ(port.BaudRate, 9600);
    EXPECT_EQ(port.ReadTimeOut, 1000);
    EXPECT_EQ(port.Delimiter, TDelimiter::no);
    EXPECT_EQ(port.Parity, TParity::none);
    EXPECT_EQ(port.StopBits, 1);
    EXPECT_EQ(port.DataBits, 8);
    EXPECT_FALSE(port.IsOpen);
}

TEST(MyComPortDefaults, BelongToTheirOwner) {
    auto* owner = new QObject;
    QPointer<TMyComPort> port = new TMyComPort(owner);
    EXPECT_EQ(port->parent(), owner);
    delete owner;
    EXPECT_TRUE(port.isNull());
}

TEST(DeviceControlText, SpellsTheLineSettings) {
    struct Case {
        std::int32_t Baud;
        TParity Parity;
        TData Data;
        TStop Stop;
        const char* Text;
    };
    const Case cases[] = {
        {9600, TParity::none, 8, 1, "baud=9600 parity=n data=8 stop=1"},
        {4800, TParity::mark, 7, 2, "baud=4800 parity=m data=7 stop=2"},
        {19200, TParity::even, 7, 1, "baud=19200 parity=e data=7 stop=1"},
        {300, TParity::odd, 8, 2, "baud=300 parity=o data=8 stop=2"},
        {115200, TParity::space, 8, 1, "baud=115200 parity=s data=8 stop=1"},
    };
    for (const Case& c : cases) {
        TMyComPort port;
        port.BaudRate = c.Baud;
        port.Parity = c.Parity;
        port.DataBits = c.Data;
        port.StopBits = c.Stop;
        EXPECT_EQ(port.DeviceControlText(), c.Text);
    }
}

TEST_F(MyComPortTest, LineSettingsReachTheDevice) {
    TMyComPort port;
    port.ComPort = "com3"; // letter case does not matter
    port.BaudRate = 4800;
    port.StopBits = 2;
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.IsOpen);
    termios seen{};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &seen), 0);
    EXPECT_EQ(cfgetospeed(&seen), speed_t(B4800));
    EXPECT_EQ(cfgetispeed(&seen), speed_t(B4800));
    EXPECT_TRUE(seen.c_cflag & CSTOPB);
    EXPECT_FALSE(seen.c_lflag & ICANON);
    port.Close();
    EXPECT_FALSE(port.IsOpen);
}

TEST_F(MyComPortTest, OpenRefusesWithoutTouchingAnyDevice) {
    machine.Link("LPT1", pty.SlavePath());
    machine.Link("COM4", "/dev/null"); // mapped, but no terminal
    for (const char* name :
         {"LPT1", "", "COM99", "COM", "COM4", "ttyS0", "/dev/ttyS0", "COM3/../../null"}) {
        TMyComPort port;
        port.ComPort = name;
        EXPECT_FALSE(port.Open()) << name;
        EXPECT_FALSE(port.IsOpen) << name;
    }
    TMyComPort port;
    port.ComPort = "COM3" + std::string(80, ' ');
    EXPECT_FALSE(port.Open()) << "a device path past 79 characters";
    EXPECT_EQ(TPoll::Running(), 0);
}

TEST_F(MyComPortTest, OpenRefusesADeviceInUseAndUnsupportedSettings) {
    {
        auto elsewhere = platform::SerialDevice::Open(pty.SlavePath());
        ASSERT_TRUE(elsewhere);
        TMyComPort port;
        port.ComPort = "COM3";
        EXPECT_FALSE(port.Open()) << "open by another program";
    }
    TMyComPort port;
    port.ComPort = "COM3";
    port.BaudRate = 12345;
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen);
    port.BaudRate = 9600;
    EXPECT_TRUE(port.Open()) << "a refused setting leaves the device closed again";
}

TEST_F(MyComPortTest, OnlyOnePortIsOpenAtATime) {
    PtyPair other;
    machine.Link("COM5", other.SlavePath());
    TMyComPort first;
    first.ComPort = "COM3";
    ASSERT_TRUE(first.Open());
    EXPECT_FALSE(first.Open()) << "already open: nothing changes";
    EXPECT_TRUE(first.IsOpen);

    TMyComPort second;
    second.ComPort = "COM5";
    EXPECT_FALSE(second.Open());
    second.Close(); // closing a closed port must not close the other one's device
    first.Write("still");
    EXPECT_EQ(pty.Read(5, 1s), "still");

    first.Close();
    EXPECT_TRUE(second.Open());
}

TEST_F(MyComPortTest, WriteSendsTheBytesAsTheyAre) {
    TMyComPort port;
    port.ComPort = "COM3";
    port.Write("closed");
    ASSERT_TRUE(port.Open());
    port.Write("");
    port.Write(std::string("\x1bS\0\r", 4));
    EXPECT_EQ(pty.Read(4, 1s), std::string("\x1bS\0\r", 4));
    port.Close();
    port.Close();
    port.Write("after");
    EXPECT_EQ(pty.ReadUntilQuiet(100ms), "") << "nothing is written while closed";
}

TEST_F(MyComPortTest, OpenFailsCleanlyWhenNoReceiveThreadCanStart) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizers' reserved address space leaves no room for a tight limit";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TMyComPort port;
            port.ComPort = "COM3";
            // Too little address space left for a thread's stack.
            rlimit old{};
            getrlimit(RLIMIT_AS, &old);
            rlimit tight = old;
            tight.rlim_cur = MappedBytes() + (std::size_t{1} << 20);
            setrlimit(RLIMIT_AS, &tight);
            const bool opened = port.Open();
            setrlimit(RLIMIT_AS, &old);
            const bool released = platform::SerialDevice::Open(pty.SlavePath()) != nullptr;
            std::_Exit(!opened && !port.IsOpen && released && TPoll::Running() == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ListPorts, TakesTheMachinesComNamesInOrder) {
    FakeSerialMachine machine;
    TMyComPort port;
    port.PortList = {"stale"};
    port.ListPorts();
    EXPECT_TRUE(port.PortList.empty()) << "no ports";

    PtyPair first;
    PtyPair second;
    machine.Link("com12", first.SlavePath());
    machine.Link("COM7", second.SlavePath());
    machine.AddUart("ttyS0", 4);
    port.ListPorts();
    EXPECT_EQ(port.PortList, (TPortArray{"COM1", "COM7", "COM12"}));
}

namespace {

TEST(OpenFailureText, SaysWhatHappenedAndWhatMendsIt) {
    using platform::OpenFailureCause;
    const struct {
        serial::PortOpenFailure Failure;
        const char* Text;
    } cases[] = {
        {{"COM3", "/nonexistent/ttyUSB0", {OpenFailureCause::NoPermission, "", 0}},
         "No permission on /nonexistent/ttyUSB0 (COM3): join the dialout group (sudo adduser $USER "
         "dialout) and log in again"},
        {{"COM3", "/dev/ttyUSB0", {OpenFailureCause::InUse, "minicom", 0}},
         "/dev/ttyUSB0 (COM3) is in use by minicom"},
        {{"COM3", "/dev/ttyUSB0", {OpenFailureCause::InUse, "", 0}},
         "/dev/ttyUSB0 (COM3) is in use by another program"},
        {{"COM7", "", {OpenFailureCause::NotFound, "", 0}},
         "Serial device COM7 not found (unplugged?)"},
        {{"COM4", "/dev/null", {OpenFailureCause::NotSerial, "", 0}},
         "/dev/null (COM4) is not a serial device"},
        {{"COM4", "/dev/ttyS0", {OpenFailureCause::SystemError, "", EIO}},
         "Cannot open /dev/ttyS0 (COM4): Input/output error"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serial::openFailureText(c.Failure), c.Text);
    }
}

} // namespace
