// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serial_port.h"

#include "platform/serial_device.h"
#include "serial/receive_thread.h"
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
using talvek::test::pumpUntil;
using namespace std::chrono_literals;

namespace {

class MyComPortTest : public ::testing::Test {
protected:
    void SetUp() override { machine.link("COM3", pty.slavePath()); }
    void TearDown() override {
        // Every receive thread of the test ends before the next test starts.
        EXPECT_TRUE(pumpUntil([] { return serial::ReceiveThread::running() == 0; }, 5s));
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
std::size_t mappedBytes() {
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace

TEST(MyComPortDefaults, AreThoseOfAnUnconfiguredPort) {
    serial::SerialPort port;
    EXPECT_EQ(port.portName, "");
    EXPECT_EQ(port.baudRate, 9600);
    EXPECT_EQ(port.readTimeoutMs, 1000);
    EXPECT_EQ(port.delimiter, serial::Delimiter::None);
    EXPECT_EQ(port.parity, serial::Parity::None);
    EXPECT_EQ(port.stopBits, 1);
    EXPECT_EQ(port.dataBits, 8);
    EXPECT_FALSE(port.isOpen);
}

TEST(MyComPortDefaults, BelongToTheirOwner) {
    auto* owner = new QObject;
    QPointer<serial::SerialPort> port = new serial::SerialPort(owner);
    EXPECT_EQ(port->parent(), owner);
    delete owner;
    EXPECT_TRUE(port.isNull());
}

TEST(DeviceControlText, SpellsTheLineSettings) {
    struct Case {
        std::int32_t baud;
        serial::Parity parity;
        serial::DataBitCount data;
        serial::StopBitCount Stop;
        const char* text;
    };
    const Case cases[] = {
        {9600, serial::Parity::None, 8, 1, "baud=9600 parity=n data=8 stop=1"},
        {4800, serial::Parity::Mark, 7, 2, "baud=4800 parity=m data=7 stop=2"},
        {19200, serial::Parity::Even, 7, 1, "baud=19200 parity=e data=7 stop=1"},
        {300, serial::Parity::Odd, 8, 2, "baud=300 parity=o data=8 stop=2"},
        {115200, serial::Parity::Space, 8, 1, "baud=115200 parity=s data=8 stop=1"},
    };
    for (const Case& c : cases) {
        serial::SerialPort port;
        port.baudRate = c.baud;
        port.parity = c.parity;
        port.dataBits = c.data;
        port.stopBits = c.Stop;
        EXPECT_EQ(port.deviceControlText(), c.text);
    }
}

TEST_F(MyComPortTest, LineSettingsReachTheDevice) {
    serial::SerialPort port;
    port.portName = "com3"; // letter case does not matter
    port.baudRate = 4800;
    port.stopBits = 2;
    ASSERT_TRUE(port.open());
    EXPECT_TRUE(port.isOpen);
    termios seen{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &seen), 0);
    EXPECT_EQ(cfgetospeed(&seen), speed_t(B4800));
    EXPECT_EQ(cfgetispeed(&seen), speed_t(B4800));
    EXPECT_TRUE(seen.c_cflag & CSTOPB);
    EXPECT_FALSE(seen.c_lflag & ICANON);
    port.close();
    EXPECT_FALSE(port.isOpen);
}

TEST_F(MyComPortTest, OpenRefusesWithoutTouchingAnyDevice) {
    machine.link("LPT1", pty.slavePath());
    machine.link("COM4", "/dev/null"); // mapped, but no terminal
    for (const char* name :
         {"LPT1", "", "COM99", "COM", "COM4", "ttyS0", "/dev/ttyS0", "COM3/../../null"}) {
        serial::SerialPort port;
        port.portName = name;
        EXPECT_FALSE(port.open()) << name;
        EXPECT_FALSE(port.isOpen) << name;
    }
    serial::SerialPort port;
    port.portName = "COM3" + std::string(80, ' ');
    EXPECT_FALSE(port.open()) << "a device path past 79 characters";
    EXPECT_EQ(serial::ReceiveThread::running(), 0);
}

TEST_F(MyComPortTest, OpenRefusesADeviceInUseAndUnsupportedSettings) {
    {
        auto elsewhere = platform::SerialDevice::open(pty.slavePath());
        ASSERT_TRUE(elsewhere);
        serial::SerialPort port;
        port.portName = "COM3";
        EXPECT_FALSE(port.open()) << "open by another program";
    }
    serial::SerialPort port;
    port.portName = "COM3";
    port.baudRate = 12345;
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(port.isOpen);
    port.baudRate = 9600;
    EXPECT_TRUE(port.open()) << "a refused setting leaves the device closed again";
}

TEST_F(MyComPortTest, OnlyOnePortIsOpenAtATime) {
    PtyPair other;
    machine.link("COM5", other.slavePath());
    serial::SerialPort first;
    first.portName = "COM3";
    ASSERT_TRUE(first.open());
    EXPECT_FALSE(first.open()) << "already open: nothing changes";
    EXPECT_TRUE(first.isOpen);

    serial::SerialPort second;
    second.portName = "COM5";
    EXPECT_FALSE(second.open());
    second.close(); // closing a closed port must not close the other one's device
    first.write("still");
    EXPECT_EQ(pty.read(5, 1s), "still");

    first.close();
    EXPECT_TRUE(second.open());
}

TEST_F(MyComPortTest, WriteSendsTheBytesAsTheyAre) {
    serial::SerialPort port;
    port.portName = "COM3";
    port.write("closed");
    ASSERT_TRUE(port.open());
    port.write("");
    port.write(std::string("\x1bS\0\r", 4));
    EXPECT_EQ(pty.read(4, 1s), std::string("\x1bS\0\r", 4));
    port.close();
    port.close();
    port.write("after");
    EXPECT_EQ(pty.readUntilQuiet(100ms), "") << "nothing is written while closed";
}

TEST_F(MyComPortTest, OpenFailsCleanlyWhenNoReceiveThreadCanStart) {
    if (kSanitized) {
        GTEST_SKIP() << "the sanitizers' reserved address space leaves no room for a tight limit";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            serial::SerialPort port;
            port.portName = "COM3";
            // Too little address space left for a thread's stack.
            rlimit old{};
            getrlimit(RLIMIT_AS, &old);
            rlimit tight = old;
            tight.rlim_cur = mappedBytes() + (std::size_t{1} << 20);
            setrlimit(RLIMIT_AS, &tight);
            const bool opened = port.open();
            setrlimit(RLIMIT_AS, &old);
            const bool released = platform::SerialDevice::open(pty.slavePath()) != nullptr;
            std::_Exit(!opened && !port.isOpen && released && serial::ReceiveThread::running() == 0
                           ? 0
                           : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ListPorts, TakesTheMachinesComNamesInOrder) {
    FakeSerialMachine machine;
    serial::SerialPort port;
    port.portNames = {"stale"};
    port.listPorts();
    EXPECT_TRUE(port.portNames.empty()) << "no ports";

    PtyPair first;
    PtyPair second;
    machine.link("com12", first.slavePath());
    machine.link("COM7", second.slavePath());
    machine.addUart("ttyS0", 4);
    port.listPorts();
    EXPECT_EQ(port.portNames, (serial::PortNames{"COM1", "COM7", "COM12"}));
}

namespace {

TEST(OpenFailureText, SaysWhatHappenedAndWhatMendsIt) {
    using platform::OpenFailureCause;
    const struct {
        serial::PortOpenFailure failure;
        const char* text;
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
        EXPECT_EQ(serial::openFailureText(c.failure), c.text);
    }
}

} // namespace
