// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/virtual_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tools {

namespace {

termios rawLine() {
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    return raw;
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

VirtualPort::VirtualPort() {
    termios raw = rawLine();
    char name[256] = {};
    if (openpty(&master_, &keeper_, name, &raw, nullptr) != 0) {
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") +
                                 std::strerror(errno));
    }
    slavePath_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(keeper_, F_SETFD, FD_CLOEXEC);
    // Opens made before the watch (our own keeper) are not counted.
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0 || inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE) < 0) {
        const std::string reason = std::strerror(errno);
        unplug();
        throw std::runtime_error("cannot watch " + slavePath_ + ": " + reason);
    }
}

VirtualPort::~VirtualPort() {
    unplug();
}

void VirtualPort::updateListeners() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = watch_ < 0 ? -1 : ::read(watch_, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                ++listeners_;
            } else if ((event->mask & IN_CLOSE) && listeners_ > 0 && --listeners_ == 0) {
                resetTerminal();
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void VirtualPort::resetTerminal() {
    // A pseudo-terminal outlives the programs that open it; a real port's state does not.
    // Exclusive use would otherwise lock out everybody but root for good, and unread
    // telegrams would greet the next program.
    ioctl(keeper_, TIOCNXCL);
    tcflush(keeper_, TCIOFLUSH);
    const termios raw = rawLine();
    tcsetattr(keeper_, TCSANOW, &raw);
}

std::string VirtualPort::read() {
    std::string bytes;
    char buffer[256];
    for (;;) {
        const ssize_t n = master_ < 0 ? -1 : ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

long VirtualPort::write(std::string_view bytes) {
    // Bytes written while nobody listens would wait in the terminal and reach the next
    // program that opens it: stale telegrams a real line never delivers.
    if (!listening()) {
        return -1;
    }
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n >= 0) {
        return static_cast<long>(n);
    }
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

void VirtualPort::unplug() {
    closeFd(watch_);
    closeFd(master_);
    closeFd(keeper_);
    listeners_ = 0;
}

} // namespace tools
