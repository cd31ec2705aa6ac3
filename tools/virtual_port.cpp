#include "tools/virtual_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace vkelvo {

VirtualPort::VirtualPort() {
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, &raw, nullptr) != 0) {
        throw std::runtime_error(std::string("cannot open a pseudo-terminal: ") +
                                 std::strerror(errno));
    }
    slavePath_ = name;
    // The terminal keeps its raw settings after the slave is closed; from then on the master
    // reports a hang-up whenever no program has the slave open.
    ::close(slave);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
}

VirtualPort::~VirtualPort() {
    Unplug();
}

bool VirtualPort::Listening() const {
    if (master_ < 0) {
        return false;
    }
    pollfd p{master_, 0, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

std::string VirtualPort::Read() {
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

long VirtualPort::Write(std::string_view bytes) {
    // Bytes written while nobody listens would wait in the terminal and reach the next
    // program that opens it: stale telegrams a real line never delivers.
    if (!Listening()) {
        return -1;
    }
    const ssize_t n = ::write(master_, bytes.data(), bytes.size());
    if (n >= 0) {
        return static_cast<long>(n);
    }
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

void VirtualPort::Unplug() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace vkelvo
