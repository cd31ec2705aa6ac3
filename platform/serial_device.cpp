// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/serial_device.h"

#include "platform/other_openers.h"

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
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kWriteGrace = std::chrono::milliseconds(20);

timespec toTimespec(Clock::duration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

// Exclusive mode belongs to the terminal, not to our descriptor: a pseudo-terminal whose other
// side stays open would refuse every later opener without privileges. Terminals without the mode
// answer ENOTTY, which is fine.
void leaveExclusiveMode(int fd) {
    [[maybe_unused]] const int result = ::ioctl(fd, TIOCNXCL);
}

OpenFailureCause causeOf(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case EIO: // a terminal whose other side has gone
        return OpenFailureCause::NotFound;
    case EACCES:
    case EPERM:
        return OpenFailureCause::NoPermission;
    case EBUSY: // in exclusive use
        return OpenFailureCause::InUse;
    default:
        return OpenFailureCause::SystemError;
    }
}

bool isGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

// What a device keeps of the line settings: a terminal that cannot do one of them silently
// keeps its own.
bool sameLine(const termios& asked, const termios& kept) {
    const tcflag_t line = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    return cfgetospeed(&asked) == cfgetospeed(&kept) && cfgetispeed(&asked) == cfgetispeed(&kept) &&
           (asked.c_cflag & line) == (kept.c_cflag & line) &&
           (asked.c_iflag & (IXON | IXOFF | IXANY)) == (kept.c_iflag & (IXON | IXOFF | IXANY));
}

} // namespace

std::shared_ptr<SerialDevice> SerialDevice::open(const std::string& path, const LineSettings& line,
                                                 OpenFailure* failure) {
    OpenFailure ignored;
    OpenFailure& why = failure ? *failure : ignored;
    const auto fail = [&why](OpenFailureCause cause, int error = 0) {
        why.cause = cause;
        why.systemError = cause == OpenFailureCause::SystemError ? error : 0;
        return nullptr;
    };
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        return fail(causeOf(errno), errno);
    }
    const int fd = ::open(resolved, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EBUSY) {
            if (const int look = ::open(resolved, O_PATH | O_CLOEXEC); look >= 0) {
                const auto others = otherOpeners(look);
                why.otherProgram = others.empty() ? std::string() : others.front();
                ::close(look);
            }
        }
        return fail(causeOf(error), error);
    }
    const auto closeAndFail = [&](OpenFailureCause cause, int error = 0) {
        ::close(fd);
        return fail(cause, error);
    };
    if (!::isatty(fd)) {
        return closeAndFail(OpenFailureCause::NotSerial);
    }
    // The lock keeps out every other opener that locks, exclusive mode every later opener
    // without privileges; a program that opened the device before us and locks nothing shows
    // only among the open descriptors.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const auto others = otherOpeners(fd);
        why.otherProgram = others.empty() ? std::string() : others.front();
        return closeAndFail(OpenFailureCause::InUse);
    }
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        return closeAndFail(causeOf(errno), errno);
    }
    const auto leaveAndFail = [&](OpenFailureCause cause, int error = 0) {
        leaveExclusiveMode(fd);
        return closeAndFail(cause, error);
    };
    if (const auto others = otherOpeners(fd); !others.empty()) {
        why.otherProgram = others.front();
        return leaveAndFail(OpenFailureCause::InUse);
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        return leaveAndFail(OpenFailureCause::SystemError, errno);
    }
    std::shared_ptr<SerialDevice> device(new SerialDevice(fd, wakeFd));
    if (!device->applyLine(line)) {
        device->close();
        return fail(OpenFailureCause::LineSettingsRefused);
    }
    return device;
}

SerialDevice::SerialDevice(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd) {}

SerialDevice::~SerialDevice() {
    close();
    ::close(wakeFd_);
}

// Raw mode (no echo, no line editing, no character translation), no flow control, and reads that
// never wait in the terminal layer: the waiting is ours. False when the device does not keep the
// speed, character size, parity or stop bits asked for.
bool SerialDevice::applyLine(const LineSettings& line) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0 || !applyLineSettings(line, t)) {
        return false;
    }
    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~CRTSCTS;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    termios kept{};
    return ::tcsetattr(fd_, TCSANOW, &t) == 0 && ::tcgetattr(fd_, &kept) == 0 && sameLine(t, kept);
}

// What the terminal holds now, in one read without waiting: everything of a raw line, one line
// of a line-wise one (a read taking more would only find the queue empty). -1 (lost set where the
// device is gone) on an error or a hang-up.
int SerialDevice::takeAvailable(char* buffer, int count) {
    ssize_t n = 0;
    do {
        n = ::read(fd_, buffer, static_cast<std::size_t>(count));
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        return static_cast<int>(n); // in raw mode with VMIN = VTIME = 0 an empty line reads as 0
    }
    if (errno == EAGAIN) {
        return 0;
    }
    if (isGoneError(errno)) {
        lost_ = true;
    }
    return -1;
}

int SerialDevice::read(char* buffer, int count, int waitMs) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return -1;
    }
    if (count <= 0) {
        return 0;
    }
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const timespec pause = toTimespec(std::chrono::milliseconds(std::max(waitMs, 0)));
    int ready = 0;
    do {
        ready = ::ppoll(fds, 2, waitMs == kWaitForBytes ? nullptr : &pause, nullptr);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return -1;
    }
    if (fds[1].revents != 0) {
        return 0; // closing
    }
    const int got = takeAvailable(buffer, count);
    // A hung-up terminal polls readable and reads like an empty line: what was left is taken
    // first, then the loss shows.
    if (got == 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        lost_ = true;
        return -1;
    }
    return got;
}

// Line-wise input with every editing and signal character switched off: the line discipline only
// tells where lines end. A disabled character is no character, so zero bytes stay data.
bool SerialDevice::readWholeLines(char end) {
    std::shared_lock lock(use_);
    termios t{};
    if (fd_ < 0 || ::tcgetattr(fd_, &t) != 0) {
        return false;
    }
    t.c_lflag |= ICANON;
    t.c_lflag &= ~(ECHO | ECHONL | ISIG | IEXTEN);
    for (const int disabled : {VEOF, VERASE, VKILL, VEOL2, VWERASE, VREPRINT, VLNEXT}) {
        t.c_cc[disabled] = _POSIX_VDISABLE;
    }
    t.c_cc[VEOL] = end == '\n' ? _POSIX_VDISABLE : static_cast<cc_t>(end);
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
}

int SerialDevice::write(const char* data, int count) {
    std::shared_lock lock(use_);
    if (fd_ < 0) {
        return -1;
    }
    const auto deadline =
        Clock::now() + kWriteGrace + std::chrono::milliseconds(std::max(count, 0));
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
        const timespec wait = toTimespec(deadline - now);
        if ((::ppoll(fds, 2, &wait, nullptr) < 0 && errno != EINTR) || fds[1].revents != 0) {
            break;
        }
    }
    return done;
}

void SerialDevice::close() {
    // The wake signal stays set: every read or write that starts from now on returns at once.
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t woken = ::write(wakeFd_, &one, sizeof one);
    std::unique_lock lock(use_);
    if (fd_ >= 0) {
        leaveExclusiveMode(fd_);
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace platform
