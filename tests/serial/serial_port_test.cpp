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

TEST(MyComPortDefaults, BelongToTheirOwner) {
    auto* owner = new QObject;
    QPointer<serial::SerialPort> port = new serial::SerialPort(owner);
    EXPECT_EQ(port->parent(), owner);
    delete owner;
    EXPECT_TRUE(port.isNull());
}

TEST_F(MyComPortTest, LineSettingsReachTheDevice) {
    serial::SerialPort port;
    // Letter case does not matter.
    ASSERT_TRUE(port.open("com3", {.line = {.baud = 4800, .stopBits = 2}}));
    EXPECT_TRUE(port.isOpen());
    termios seen{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &seen), 0);
    EXPECT_EQ(cfgetospeed(&seen), speed_t(B4800));
    EXPECT_EQ(cfgetispeed(&seen), speed_t(B4800));
    EXPECT_TRUE(seen.c_cflag & CSTOPB);
    EXPECT_FALSE(seen.c_lflag & (ECHO | ECHONL)) << "nothing may go back to the instrument";
    port.close();
    EXPECT_FALSE(port.isOpen());
}

TEST_F(MyComPortTest, OpenRefusesWithoutTouchingAnyDevice) {
    machine.link("LPT1", pty.slavePath());
    machine.link("COM4", "/dev/null"); // mapped, but no terminal
    for (const char* name :
         {"LPT1", "", "COM99", "COM", "COM4", "ttyS0", "/dev/ttyS0", "COM3/../../null"}) {
        serial::SerialPort port;
        EXPECT_FALSE(port.open(name, {})) << name;
        EXPECT_FALSE(port.isOpen()) << name;
    }
    EXPECT_EQ(serial::ReceiveThread::running(), 0);
}

TEST_F(MyComPortTest, OpenRefusesADeviceInUseAndUnsupportedSettings) {
    {
        auto elsewhere = platform::SerialDevice::open(pty.slavePath());
        ASSERT_TRUE(elsewhere);
        serial::SerialPort port;
        EXPECT_FALSE(port.open("COM3", {})) << "open by another program";
    }
    serial::SerialPort port;
    EXPECT_FALSE(port.open("COM3", {.line = {.baud = 12345}}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.open("COM3", {})) << "a refused setting leaves the device closed again";
}

TEST_F(MyComPortTest, OnlyOnePortIsOpenAtATime) {
    PtyPair other;
    machine.link("COM5", other.slavePath());
    serial::SerialPort first;
    ASSERT_TRUE(first.open("COM3", {}));
    EXPECT_FALSE(first.open("COM3", {})) << "already open: nothing changes";
    EXPECT_TRUE(first.isOpen());

    serial::SerialPort second;
    EXPECT_FALSE(second.open("COM5", {}));
    second.close(); // closing a closed port must not close the other one's device
    first.write("still");
    EXPECT_EQ(pty.read(5, 1s), "still");

    first.close();
    EXPECT_TRUE(second.open("COM5", {}));
}

TEST_F(MyComPortTest, WriteSendsTheBytesAsTheyAre) {
    serial::SerialPort port;
    port.write("closed");
    ASSERT_TRUE(port.open("COM3", {}));
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
            // Too little address space left for a thread's stack.
            rlimit old{};
            getrlimit(RLIMIT_AS, &old);
            rlimit tight = old;
            tight.rlim_cur = mappedBytes() + (std::size_t{1} << 20);
            setrlimit(RLIMIT_AS, &tight);
            const bool opened = port.open("COM3", {});
            setrlimit(RLIMIT_AS, &old);
            const bool released = platform::SerialDevice::open(pty.slavePath()) != nullptr;
            std::_Exit(
                !opened && !port.isOpen() && released && serial::ReceiveThread::running() == 0 ? 0
                                                                                               : 1);
        },
        ::testing::ExitedWithCode(0), "");
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
