#include "platform/serial_device.h"
#include "platform/ascii_case.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::pair<int, speed_t> kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool ParseDecimal(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

bool ApplyBaud(const std::string& text, termios& t) {
    int baud = 0;
    if (!ParseDecimal(text, baud)) {
        return false;
    }
    for (const auto& [rate, speed] : kBaudRates) {
        if (rate == baud) {
            return cfsetispeed(&t, speed) == 0 && cfsetospeed(&t, speed) == 0;
        }
    }
    return false;
}

bool ApplyParity(const std::string& text, termios& t) {
    tcflag_t bits = 0;
    if (text == "n") {
        bits = 0;
    } else if (text == "e") {
        bits = PARENB;
    } else if (text == "o") {
        bits = PARENB | PARODD;
    } else if (text == "m") {
        bits = PARENB | PARODD | CMSPAR;
    } else if (text == "s") {
        bits = PARENB | CMSPAR;
    } else {
        return false;
    }
    t.c_cflag = (t.c_cflag & ~(PARENB | PARODD | CMSPAR)) | bits;
    return true;
}

bool ApplyDataBits(const std::string& text, termios& t) {
    static constexpr std::pair<const char*, tcflag_t> sizes[] = {
        {"5", CS5}, {"6", CS6}, {"7", CS7}, {"8", CS8}};
    for (const auto& [name, size] : sizes) {
        if (text == name) {
            t.c_cflag = (t.c_cflag & ~CSIZE) | size;
            return true;
        }
    }
    return false;
}

bool ApplyStopBits(const std::string& text, termios& t) {
    if (text == "1") {
        t.c_cflag &= ~CSTOPB;
    } else if (text == "2") {
        t.c_cflag |= CSTOPB;
    } else {
        return false;
    }
    return true;
}

timespec ToTimespec(Clock::duration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// Exclusive mode belongs to the terminal, not to our descriptor: a pseudo-terminal whose other
// side stays open would refuse every later opener without privileges. Terminals without the mode
// answer ENOTTY, which is fine.
void LeaveExclusiveMode(int fd) {
    [[maybe_unused]] const int result = ::ioctl(fd, TIOCNXCL);
}

} // namespace

bool BuildSerialLineState(const std::string& text, SerialLineState& state) {
    termios t = state.Attributes;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos) {
            return false;
        }
        const std::string key = AsciiLower(word.substr(0, eq));
        const std::string value = AsciiLower(word.substr(eq + 1));
        bool ok = false;
        if (key == "baud") {
            ok = ApplyBaud(value, t);
        } else if (key == "parity") {
            ok = ApplyParity(value, t);
        } else if (key == "data") {
            ok = ApplyDataBits(value, t);
        } else if (key == "stop") {
            ok = ApplyStopBits(value, t);
        }
        if (!ok) {
            return false;
        }
    }
    state.Attributes = t;
    return true;
}

std::shared_ptr<SerialDevice> SerialDevice::Open(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        return nullptr;
    }
    const int fd = ::open(resolved, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // Only a terminal is a serial device; the lock keeps out every other opener that locks, and
    // exclusive mode every later opener without privileges.
    const bool usable = ::isatty(fd) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                        (::ioctl(fd, TIOCEXCL) == 0 || errno == ENOTTY);
    const int wakeFd = usable ? ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    if (wakeFd < 0) {
        if (usable) {
            LeaveExclusiveMode(fd);
        }
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<SerialDevice>(new SerialDevice(fd, wakeFd));
}

SerialDevice::SerialDevice(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}

SerialDevice::~SerialDevice() {
    Close();
    ::close(wakeFd_);
}

bool SerialDevice::SetupQueues(int inputBytes, int outputBytes) {
    std::shared_lock lock(use_);
    return fd_ >= 0 && inputBytes > 0 && outputBytes > 0;
}

bool SerialDevice::GetLineState(SerialLineState& state) {
    std::shared_lock lock(use_);
    return fd_ >= 0 && ::tcgetattr(fd_, &state.Attributes) == 0;
}

bool SerialDevice::SetLineState(const SerialLineState& state) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return false;
    }
    termios t = state.Attributes;
    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CLOCAL | CREAD;
    // Reads never wait in the terminal layer; the time-outs are ours.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

bool SerialDevice::SetTimeouts(const SerialTimeouts& timeouts) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return false;
    }
    readIntervalMs_ = timeouts.ReadInterval;
    readMultiplierMs_ = timeouts.ReadTotalMultiplier;
    readConstantMs_ = timeouts.ReadTotalConstant;
    writeMultiplierMs_ = timeouts.WriteTotalMultiplier;
    writeConstantMs_ = timeouts.WriteTotalConstant;
    return true;
}

bool SerialDevice::IsGoneError(int error) const {
    return error == EIO || error == ENXIO || error == ENODEV;
}

int SerialDevice::Read(char* buffer, int count) {
    return ReadUntil(buffer, count, true);
}

int SerialDevice::ReadAvailable(char* buffer, int count) {
    return ReadUntil(buffer, count, false);
}

int SerialDevice::ReadUntil(char* buffer, int count, bool wait) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return -1;
    }
    if (count <= 0) {
        return 0;
    }
    const auto interval = std::chrono::milliseconds(readIntervalMs_.load());
    const auto deadline =
        Clock::now() +
        (wait ? std::chrono::milliseconds(static_cast<std::int64_t>(readMultiplierMs_) * count +
                                          readConstantMs_)
              : std::chrono::milliseconds(0));
    int got = 0;
    Clock::time_point lastByte;
    bool hungUp = false;
    bool lookedForHangUp = false;
    const auto failed = [&](bool gone) {
        if (gone) {
            lost_ = true;
        }
        return got > 0 ? got : -1;
    };
    for (;;) {
        const ssize_t n = ::read(fd_, buffer + got, static_cast<std::size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
            lastByte = Clock::now();
            if (got == count) {
                return got;
            }
            continue;
        }
        // In raw mode with VMIN = VTIME = 0 an empty line reads as 0 bytes; a hang-up shows in
        // poll below.
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return failed(IsGoneError(errno));
        }
        if (hungUp) {
            return failed(true);
        }
        const auto now = Clock::now();
        auto until = deadline;
        if (got > 0 && interval.count() > 0) {
            until = std::min(until, lastByte + interval);
        }
        // A hang-up reads like an empty line and shows only in poll: a read that does not wait
        // still looks once.
        if (now >= until && (wait || lookedForHangUp)) {
            return got;
        }
        lookedForHangUp = true;
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const timespec pause = ToTimespec(std::max(until - now, Clock::duration::zero()));
        if (::ppoll(fds, 2, &pause, nullptr) < 0 && errno != EINTR) {
            return failed(false);
        }
        if (fds[1].revents != 0) {
            return got; // closing
        }
        // A hung-up terminal polls readable too; one more read takes what is left, then stop.
        hungUp = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }
}

int SerialDevice::Write(const char* data, int count) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return -1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(
                                             static_cast<std::int64_t>(writeMultiplierMs_) * count +
                                             writeConstantMs_);
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, data + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return done > 0 ? done : -1;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            break;
        }
        pollfd fds[2] = {{fd_, POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
        const timespec wait = ToTimespec(deadline - now);
        if ((::ppoll(fds, 2, &wait, nullptr) < 0 && errno != EINTR) || fds[1].revents != 0) {
            break;
        }
    }
    return done;
}

void SerialDevice::Close() {
    // The wake signal stays set: every read or write that starts from now on returns at once.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t woken = ::write(wakeFd_, &one, sizeof one);
    std::unique_lock lock(use_);
    if (fd_ >= 0) {
        LeaveExclusiveMode(fd_);
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace platform
