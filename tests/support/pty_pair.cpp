// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/pty_pair.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace talvek::test {

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&master_, &slaveKeeper_, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    slavePath_ = name;
    termios raw{};
    tcgetattr(slaveKeeper_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slaveKeeper_, TCSANOW, &raw);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    closeMaster();
    if (slaveKeeper_ >= 0) {
        ::close(slaveKeeper_);
    }
}

void PtyPair::write(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            throw std::runtime_error("write to pty master failed");
        } else {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 10);
        }
    }
}

int PtyPair::slaveInputBytes() const {
    int bytes = 0;
    return ::ioctl(slaveKeeper_, FIONREAD, &bytes) == 0 ? bytes : -1;
}

std::string PtyPair::read(std::size_t count, std::chrono::milliseconds timeout) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buf[256];
        const ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            // EIO: nobody holds the slave open; wait for the program to open it.
            ::usleep(1000);
        }
    }
    return out;
}

std::string PtyPair::readAvailable() {
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(master_, buf, sizeof buf)) > 0;) {
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

std::string PtyPair::readUntilQuiet(std::chrono::milliseconds quiet) {
    std::string out;
    for (;;) {
        std::string more = read(4096, quiet);
        if (more.empty()) {
            return out;
        }
        out += more;
    }
}

void PtyPair::closeMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace talvek::test
