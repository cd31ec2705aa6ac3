// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/serial_device.h"
#include "tests/support/pty_pair.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::applyLineSettings;
using platform::LineSettings;
using platform::OpenFailure;
using platform::OpenFailureCause;
using platform::Parity;
using platform::SerialDevice;
using talvek::test::PtyPair;
using namespace std::chrono_literals;

namespace {

std::int64_t elapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

bool pollUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return done();
}

// Waits until the thread `tid` of this process sleeps in the kernel: a read it runs is waiting.
bool sleeping(pid_t tid) {
    return pollUntil([tid] {
        std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
        std::string pid, comm, state;
        stat >> pid >> comm >> state;
        return state == "S";
    });
}

std::string ownCommandName() {
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Another process that has the pseudo-terminal open and waits: a terminal program holding the
// slave alone, or an instrument program holding both sides.
class Holder {
public:
    enum Sides { SlaveOnly, BothSides };
    Holder(const PtyPair& pty, Sides sides) {
        int ready[2];
        if (::pipe(ready) != 0) {
            throw std::runtime_error("pipe");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            if (sides == SlaveOnly) {
                ::close(pty.masterFd());
            }
            [[maybe_unused]] const ssize_t n = ::write(ready[1], "x", 1);
            for (;;) {
                ::pause();
            }
        }
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(ready[0], &byte, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~Holder() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
};

} // namespace

TEST(LineSettings, SetWhatTheyNameAndSwitchOffEveryFlowControl) {
    struct Case {
        LineSettings Line;
        speed_t speed;
        tcflag_t size;
        tcflag_t Parity;
        bool twoStops;
    };
    const Case cases[] = {
        {{9600, 8, Parity::None, 1}, B9600, CS8, 0, false},
        {{4800, 7, Parity::Mark, 2}, B4800, CS7, PARENB | PARODD | CMSPAR, true},
        {{115200, 7, Parity::Even, 1}, B115200, CS7, PARENB, false},
        {{300, 8, Parity::Odd, 2}, B300, CS8, PARENB | PARODD, true},
        {{19200, 5, Parity::Space, 1}, B19200, CS5, PARENB | CMSPAR, false},
    };
    for (const Case& c : cases) {
        termios t{};
        t.c_cflag = CS6 | PARENB | CSTOPB | CRTSCTS | HUPCL;
        t.c_iflag = IXON | IXOFF | IXANY | ICRNL;
        ASSERT_TRUE(applyLineSettings(c.Line, t)) << c.Line.baud;
        EXPECT_EQ(cfgetospeed(&t), c.speed) << c.Line.baud;
        EXPECT_EQ(cfgetispeed(&t), c.speed) << c.Line.baud;
        EXPECT_EQ(t.c_cflag & CSIZE, c.size) << c.Line.baud;
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.Parity) << c.Line.baud;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStops) << c.Line.baud;
        EXPECT_FALSE(t.c_cflag & CRTSCTS) << c.Line.baud;
        EXPECT_EQ(t.c_iflag, tcflag_t(ICRNL)) << c.Line.baud;
        EXPECT_TRUE(t.c_cflag & HUPCL) << "what the settings do not touch stays";
    }
}

TEST(LineSettings, RefuseWhatTheTerminalLayerCannotDo) {
    for (const LineSettings& line :
         {LineSettings{12345, 8, Parity::None, 1}, LineSettings{0, 8, Parity::None, 1},
          LineSettings{9600, 9, Parity::None, 1}, LineSettings{9600, 4, Parity::None, 1},
          LineSettings{9600, 8, Parity::None, 3}, LineSettings{9600, 8, Parity::None, 0}}) {
        termios t{};
        cfsetospeed(&t, B1200);
        EXPECT_FALSE(applyLineSettings(line, t)) << line.baud << " " << line.dataBits;
        EXPECT_EQ(cfgetospeed(&t), speed_t(B1200)) << "untouched";
    }
}

TEST(SerialDevice, OpensExclusivelyAndReopensAfterClose) {
    PtyPair pty;
    auto first = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(first);
    OpenFailure why;
    EXPECT_FALSE(SerialDevice::open(pty.slavePath(), {}, &why)) << "a second opener must fail";
    EXPECT_EQ(why.cause, OpenFailureCause::InUse);
    first->close();
    auto second = SerialDevice::open(pty.slavePath());
    EXPECT_TRUE(second) << "closing must release the device";
}

TEST(SerialDevice, SaysWhyItDoesNotOpen) {
    struct Case {
        const char* Path;
        OpenFailureCause Cause;
    };
    for (const Case& c : {Case{"/dev/null", OpenFailureCause::NotSerial},
                          Case{"/nonexistent/ttyX", OpenFailureCause::NotFound},
                          Case{"", OpenFailureCause::NotFound}}) {
        OpenFailure why;
        why.cause = OpenFailureCause::SystemError;
        EXPECT_FALSE(SerialDevice::open(c.Path, {}, &why)) << c.Path;
        EXPECT_EQ(why.cause, c.Cause) << c.Path;
    }
}

TEST(SerialDevice, ADeviceTheUserMayNotOpenIsAPermissionProblem) {
    PtyPair pty;
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Root opens anything: try as somebody else, the way a user outside "dialout" does.
            const bool asOther = ::getuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
            OpenFailure why;
            const bool opened = SerialDevice::open(pty.slavePath(), {}, &why) != nullptr;
            std::_Exit(asOther && !opened && why.cause == OpenFailureCause::NoPermission ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(SerialDevice, SettingsTheDeviceDoesNotKeepAreRefusedAndReleaseIt) {
    PtyPair pty; // a pseudo-terminal always runs eight data bits without parity
    OpenFailure why;
    EXPECT_FALSE(SerialDevice::open(pty.slavePath(), {9600, 7, Parity::Even, 1}, &why));
    EXPECT_EQ(why.cause, OpenFailureCause::LineSettingsRefused);
    EXPECT_FALSE(SerialDevice::open(pty.slavePath(), {12345, 8, Parity::None, 1}, &why));
    EXPECT_EQ(why.cause, OpenFailureCause::LineSettingsRefused);
    EXPECT_TRUE(SerialDevice::open(pty.slavePath()));
}

TEST(SerialDevice, FlowControlAnEarlierProgramLeftOnIsSwitchedOff) {
    // A pseudo-terminal keeps both kinds of flow control, so both can be checked on it.
    PtyPair pty;
    termios before{};
    ASSERT_EQ(tcgetattr(pty.slaveFd(), &before), 0);
    before.c_cflag |= CRTSCTS;
    before.c_iflag |= IXON | IXOFF | IXANY;
    ASSERT_EQ(tcsetattr(pty.slaveFd(), TCSANOW, &before), 0);
    ASSERT_EQ(tcgetattr(pty.slaveFd(), &before), 0);
    ASSERT_TRUE(before.c_cflag & CRTSCTS);

    auto device = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(device);
    termios after{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &after), 0);
    EXPECT_FALSE(after.c_cflag & CRTSCTS);
    EXPECT_FALSE(after.c_iflag & (IXON | IXOFF | IXANY));
}

TEST(SerialDevice, AnotherProgramThatHasTheDeviceOpenKeepsItClosedAndIsNamed) {
    PtyPair pty;
    {
        const Holder terminalProgram(pty, Holder::SlaveOnly);
        OpenFailure why;
        EXPECT_FALSE(SerialDevice::open(pty.slavePath(), {}, &why)) << "it took no lock";
        EXPECT_EQ(why.cause, OpenFailureCause::InUse);
        EXPECT_EQ(why.otherProgram, ownCommandName());
    }
    EXPECT_TRUE(SerialDevice::open(pty.slavePath())) << "once it has ended";
    const Holder instrument(pty, Holder::BothSides);
    EXPECT_TRUE(SerialDevice::open(pty.slavePath())) << "the line's other end is no competitor";
}

TEST(SerialDevice, LineSettingsReachTheDeviceInRawMode) {
    PtyPair pty;
    auto device = SerialDevice::open(pty.slavePath(), {4800, 8, Parity::None, 2});
    ASSERT_TRUE(device);

    termios seen{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &seen), 0); // the master reports its slave's state
    EXPECT_EQ(cfgetospeed(&seen), speed_t(B4800));
    EXPECT_TRUE(seen.c_cflag & CSTOPB);
    EXPECT_TRUE(seen.c_cflag & CREAD);
    EXPECT_TRUE(seen.c_cflag & CLOCAL);
    EXPECT_FALSE(seen.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(seen.c_iflag & (ICRNL | IXON));
    EXPECT_FALSE(seen.c_oflag & OPOST);
    EXPECT_EQ(seen.c_cc[VMIN], 0);
    EXPECT_EQ(seen.c_cc[VTIME], 0);
}

TEST(SerialDevice, ReadTakesWhatIsInOrWaitsForTheFirstBytes) {
    PtyPair pty;
    auto device = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(device);
    char buffer[80];

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->read(buffer, 80, 0), 0);
    EXPECT_LT(elapsedMs(start), 40) << "no wait asked for: nothing, at once";
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->read(buffer, 80, 80), 0);
    const auto idle = elapsedMs(start);
    EXPECT_GE(idle, 80) << "an idle line keeps the read for its wait";
    EXPECT_LT(idle, 400);

    pty.write(std::string(100, 'a'));
    ASSERT_TRUE(pollUntil([&] { return pty.slaveInputBytes() == 100; }));
    EXPECT_EQ(device->read(buffer, 80, 0), 80) << "at most the count";
    EXPECT_EQ(device->read(buffer, 80, 0), 20) << "then the rest";
    EXPECT_EQ(std::string(buffer, 20), std::string(20, 'a'));

    // Bytes that come while a read waits end its wait.
    std::atomic<pid_t> reader{0};
    auto reading = std::async(std::launch::async, [&] {
        reader = ::gettid();
        return device->read(buffer, 80, 5000);
    });
    ASSERT_TRUE(pollUntil([&] { return reader != 0; }));
    ASSERT_TRUE(sleeping(reader));
    start = std::chrono::steady_clock::now();
    pty.write("CD");
    ASSERT_EQ(reading.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(reading.get(), 2);
    EXPECT_LT(elapsedMs(start), 1000) << "the read must not sit out its wait";
    EXPECT_EQ(std::string(buffer, 2), "CD");
}

TEST(SerialDevice, WriteReachesTheLineAndNothingAfterClose) {
    PtyPair pty;
    auto device = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(device);
    EXPECT_EQ(device->write("\x1bQ1\r", 4), 4);
    EXPECT_EQ(device->write("", 0), 0);
    EXPECT_EQ(pty.read(4, 1s), "\x1bQ1\r");
    device->close();
    EXPECT_EQ(device->write("X", 1), -1);
    char buffer[8];
    EXPECT_EQ(device->read(buffer, 8, 0), -1);
}

TEST(SerialDevice, CloseWakesAReadInProgress) {
    PtyPair pty;
    auto device = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(device);
    std::atomic<pid_t> reader{0};
    auto reading = std::async(std::launch::async, [&] {
        reader = ::gettid();
        char buffer[80];
        return device->read(buffer, 80, SerialDevice::kWaitForBytes);
    });
    ASSERT_TRUE(pollUntil([&] { return reader != 0; }));
    ASSERT_TRUE(sleeping(reader));
    const auto start = std::chrono::steady_clock::now();
    device->close();
    EXPECT_LT(elapsedMs(start), 1000) << "Close must not sit out the read time-out";
    ASSERT_EQ(reading.wait_for(2s), std::future_status::ready);
    EXPECT_LE(reading.get(), 0);
}

TEST(SerialDevice, AVanishedDeviceIsReportedAndReadsReturnAtOnce) {
    PtyPair pty;
    auto device = SerialDevice::open(pty.slavePath());
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->lost());
    pty.closeMaster();
    char buffer[80];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->read(buffer, 80, 5000), -1);
    EXPECT_LT(elapsedMs(start), 60);
    EXPECT_TRUE(device->lost());
}

TEST(SerialDevice, ExclusiveModeEndsWithTheDevice) {
    // Root may open an exclusive terminal anyway, so the mode itself is checked: left set on a
    // pseudo-terminal, it would lock every other user out for good.
    struct Case {
        const char* name;
        bool explicitClose;
    };
    for (const Case c : {Case{"Close", true}, Case{"destruction", false}}) {
        PtyPair pty;
        auto device = SerialDevice::open(pty.slavePath());
        ASSERT_TRUE(device) << c.name;
        int exclusive = 0;
        ASSERT_EQ(ioctl(pty.slaveFd(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1) << "an open device is exclusive";
        if (c.explicitClose) {
            device->close();
        } else {
            device.reset();
        }
        ASSERT_EQ(ioctl(pty.slaveFd(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 0) << "after " << c.name;
        EXPECT_TRUE(SerialDevice::open(pty.slavePath())) << "after " << c.name;
    }
}
