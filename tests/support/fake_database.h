// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace talvek::test {

// A stand-in for a time-series database on a loopback port: it answers each request with the
// next status of its script (0: no answer at all), 204 after it, and keeps every request it was
// sent.
class FakeDatabase {
public:
    struct Request {
        std::string head; // request line and headers
        std::string body;
    };

    explicit FakeDatabase(std::vector<int> script = {});
    ~FakeDatabase();
    FakeDatabase(const FakeDatabase&) = delete;
    FakeDatabase& operator=(const FakeDatabase&) = delete;

    std::uint16_t port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<Request> requests() const;
    // Waits up to 20 s for `count` requests; false when fewer came.
    bool waitRequests(std::size_t count) const;

private:
    bool readable(int fd) const;
    void serve();
    void answerComplete(int connection, std::string& buffer);

    const std::vector<int> script_;
    int listenFd_ = -1;
    const int stopFd_;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Request> requests_;
    std::thread thread_;
};

} // namespace talvek::test
