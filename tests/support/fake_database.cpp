// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_database.h"

#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace talvek::test {

FakeDatabase::FakeDatabase(std::vector<int> script)
    : script_(std::move(script)), stopFd_(::eventfd(0, EFD_CLOEXEC)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(listenFd_, 4);
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FakeDatabase::~FakeDatabase() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
    thread_.join();
    ::close(listenFd_);
    ::close(stopFd_);
}

std::vector<FakeDatabase::Request> FakeDatabase::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

bool FakeDatabase::waitRequests(std::size_t count) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::seconds(20),
                             [&] { return requests_.size() >= count; });
}

bool FakeDatabase::readable(int fd) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    ::poll(fds, 2, -1);
    return fds[1].revents == 0;
}

void FakeDatabase::serve() {
    while (readable(listenFd_)) {
        const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        std::string buffer;
        char chunk[4096];
        ssize_t got = 0;
        while (readable(connection) && (got = ::recv(connection, chunk, sizeof chunk, 0)) > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
            answerComplete(connection, buffer);
        }
        ::close(connection);
    }
}

void FakeDatabase::answerComplete(int connection, std::string& buffer) {
    for (;;) {
        const std::size_t headEnd = buffer.find("\r\n\r\n");
        const std::size_t lengthAt = buffer.find("Content-Length: ");
        if (headEnd == std::string::npos || lengthAt > headEnd) {
            return;
        }
        const std::size_t length = std::stoul(buffer.substr(lengthAt + 16));
        if (buffer.size() < headEnd + 4 + length) {
            return;
        }
        Request request{buffer.substr(0, headEnd + 2), buffer.substr(headEnd + 4, length)};
        buffer.erase(0, headEnd + 4 + length);
        int status = 204;
        {
            const std::lock_guard lock(mutex_);
            status = requests_.size() < script_.size() ? script_[requests_.size()] : 204;
            requests_.push_back(std::move(request));
        }
        arrived_.notify_all();
        if (status != 0) {
            const std::string body = status == 204 ? "" : "{\"error\":\"busy\"}";
            const std::string answer = "HTTP/1.1 " + std::to_string(status) +
                                       " X\r\nContent-Length: " + std::to_string(body.size()) +
                                       "\r\n\r\n" + body;
            ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
        }
    }
}

} // namespace talvek::test
