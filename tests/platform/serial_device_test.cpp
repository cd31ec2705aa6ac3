#include "platform/serial_device.h"
#include "tests/support/pty_pair.h"

#include <chrono>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <thread>

using platform::BuildSerialLineState;
using platform::SerialDevice;
using platform::SerialLineState;
using talvek::test::PtyPair;
using namespace std::chrono_literals;

namespace {

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 since)
        .count();
}

bool PollUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return done();
}

std::shared_ptr<SerialDevice> OpenConfigured(const PtyPair& pty) {
    auto device = SerialDevice::Open(pty.SlavePath());
    if (device) {
        SerialLineState state;
        device->GetLineState(state);
        device->SetLineState(state);
        device->SetTimeouts({1, 1, 1, 1, 20});
    }
    return device;
}

} // namespace

TEST(SerialLineStateText, SetsWhatTheTextNamesAndKeepsTheRest) {
    struct Case {
        const char* Text;
        speed_t Speed;
        tcflag_t Size;
        tcflag_t Parity;
        bool TwoStops;
    };
    const Case cases[] = {
        {"baud=9600 parity=n data=8 stop=1", B9600, CS8, 0, false},
        {"baud=4800 parity=m data=7 stop=2", B4800, CS7, PARENB | PARODD | CMSPAR, true},
        {"baud=115200 parity=e data=7 stop=1", B115200, CS7, PARENB, false},
        {"BAUD=300 Parity=O data=8 stop=2", B300, CS8, PARENB | PARODD, true},
        {"baud=19200 parity=s data=5 stop=1", B19200, CS5, PARENB | CMSPAR, false},
    };
    for (const Case& c : cases) {
        SerialLineState state;
        state.Attributes.c_cflag = CS6 | PARENB | CSTOPB | CRTSCTS;
        state.Attributes.c_iflag = IXON;
        ASSERT_TRUE(BuildSerialLineState(c.Text, state)) << c.Text;
        const termios& t = state.Attributes;
        EXPECT_EQ(cfgetospeed(&t), c.Speed) << c.Text;
        EXPECT_EQ(cfgetispeed(&t), c.Speed) << c.Text;
        EXPECT_EQ(t.c_cflag & CSIZE, c.Size) << c.Text;
        EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.Parity) << c.Text;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.TwoStops) << c.Text;
        EXPECT_TRUE(t.c_cflag & CRTSCTS) << "flow control is not named, so it stays";
        EXPECT_EQ(t.c_iflag, tcflag_t(IXON)) << c.Text;
    }
}

TEST(SerialLineStateText, RefusesWhatTheTerminalLayerCannotDo) {
    for (const char* text :
         {"baud=12345 parity=n data=8 stop=1", "baud=9600 parity=x", "data=9", "data=4", "stop=3",
          "stop=1.5", "baud=", "baud=-9600", "speed=9600", "baud9600"}) {
        SerialLineState state;
        cfsetospeed(&state.Attributes, B1200);
        EXPECT_FALSE(BuildSerialLineState(text, state)) << text;
        EXPECT_EQ(cfgetospeed(&state.Attributes), speed_t(B1200)) << "untouched after " << text;
    }
}

TEST(SerialDevice, OpensExclusivelyAndReopensAfterClose) {
    PtyPair pty;
    auto first = SerialDevice::Open(pty.SlavePath());
    ASSERT_TRUE(first);
    EXPECT_FALSE(SerialDevice::Open(pty.SlavePath())) << "a second opener must fail";
    first->Close();
    auto second = SerialDevice::Open(pty.SlavePath());
    EXPECT_TRUE(second) << "closing must release the device";
}

TEST(SerialDevice, RefusesWhatIsNotATerminalOrDoesNotExist) {
    EXPECT_FALSE(SerialDevice::Open("/dev/null"));
    EXPECT_FALSE(SerialDevice::Open("/nonexistent/ttyX"));
    EXPECT_FALSE(SerialDevice::Open(""));
}

TEST(SerialDevice, LineStateReachesTheDeviceInRawMode) {
    PtyPair pty;
    auto device = SerialDevice::Open(pty.SlavePath());
    ASSERT_TRUE(device);
    SerialLineState state;
    ASSERT_TRUE(device->GetLineState(state));
    ASSERT_TRUE(BuildSerialLineState("baud=4800 parity=n data=8 stop=2", state));
    ASSERT_TRUE(device->SetLineState(state));

    termios seen{};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &seen), 0); // the master reports its slave's state
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

TEST(SerialDevice, ReadReturnsWhenCountIsInOrTheLineGoesQuietOrTimeRunsOut) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_TRUE(device);
    char buffer[80];

    pty.Write("0123456789");
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device->Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->Read(buffer, 80), 6) << "the rest, once the line is quiet";
    EXPECT_LT(ElapsedMs(start), 60) << "must not wait for the full 81 ms";

    start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->Read(buffer, 80), 0);
    const auto idle = ElapsedMs(start);
    EXPECT_GE(idle, 80) << "an idle read waits n + 1 ms";
    EXPECT_LT(idle, 400);

    pty.Write("AB");
    std::thread later([&] {
        std::this_thread::sleep_for(40ms);
        pty.Write("CD");
    });
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(device->Read(buffer, 80), 2) << "a pause between bytes ends the read";
    later.join();
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(device->Read(buffer, 80), 2);
    EXPECT_EQ(std::string(buffer, 2), "CD");
}

TEST(SerialDevice, WriteReachesTheLineAndNothingAfterClose) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->Write("\x1bQ1\r", 4), 4);
    EXPECT_EQ(device->Write("", 0), 0);
    EXPECT_EQ(pty.Read(4, 1s), "\x1bQ1\r");
    device->Close();
    EXPECT_EQ(device->Write("X", 1), -1);
    char buffer[8];
    EXPECT_EQ(device->Read(buffer, 8), -1);
}

TEST(SerialDevice, CloseWakesAReadInProgress) {
    PtyPair pty;
    auto device = SerialDevice::Open(pty.SlavePath());
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->SetTimeouts({0, 0, 5000, 0, 0}));
    auto reading = std::async(std::launch::async, [&] {
        char buffer[80];
        return device->Read(buffer, 80);
    });
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    device->Close();
    EXPECT_LT(ElapsedMs(start), 1000) << "Close must not sit out the read time-out";
    ASSERT_EQ(reading.wait_for(2s), std::future_status::ready);
    EXPECT_LE(reading.get(), 0);
}

TEST(SerialDevice, AVanishedDeviceIsReportedAndReadsReturnAtOnce) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->Lost());
    pty.CloseMaster();
    char buffer[80];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->Read(buffer, 80), -1);
    EXPECT_LT(ElapsedMs(start), 60);
    EXPECT_TRUE(device->Lost());
}

TEST(SerialDevice, ExclusiveModeEndsWithTheDevice) {
    // Root may open an exclusive terminal anyway, so the mode itself is checked: left set on a
    // pseudo-terminal, it would lock every other user out for good.
    struct Case {
        const char* Name;
        bool ExplicitClose;
    };
    for (const Case c : {Case{"Close", true}, Case{"destruction", false}}) {
        PtyPair pty;
        auto device = SerialDevice::Open(pty.SlavePath());
        ASSERT_TRUE(device) << c.Name;
        int exclusive = 0;
        ASSERT_EQ(ioctl(pty.SlaveFd(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1) << "an open device is exclusive";
        if (c.ExplicitClose) {
            device->Close();
        } else {
            device.reset();
        }
        ASSERT_EQ(ioctl(pty.SlaveFd(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 0) << "after " << c.Name;
        EXPECT_TRUE(SerialDevice::Open(pty.SlavePath())) << "after " << c.Name;
    }
}

TEST(SerialDevice, ReadAvailableTakesWhatIsInWithoutWaiting) {
    PtyPair pty;
    auto device = OpenConfigured(pty);
    ASSERT_TRUE(device);
    char buffer[80];

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->ReadAvailable(buffer, 80), 0);
    EXPECT_LT(ElapsedMs(start), 40) << "an idle line gives nothing at once, not after 81 ms";

    pty.Write(std::string(100, 'a'));
    ASSERT_TRUE(PollUntil([&] { return pty.SlaveInputBytes() == 100; }));
    EXPECT_EQ(device->ReadAvailable(buffer, 80), 80);
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(device->ReadAvailable(buffer, 80), 20);
    EXPECT_EQ(std::string(buffer, 20), std::string(20, 'a'));
    EXPECT_LT(ElapsedMs(start), 40) << "no wait for the line to go quiet";

    pty.CloseMaster();
    EXPECT_EQ(device->ReadAvailable(buffer, 80), -1);
    EXPECT_TRUE(device->Lost());
}
