// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace recording {

struct HttpResponse {
    int status = 0; // 0: no answer, `error` says why
    std::string body;
    std::string error;
};

// A small HTTP/1.1 client over one kept-alive TCP connection, for the time-series database:
// plain HTTP, a request at a time, each waiting at most its time-out. It blocks, so it runs on a
// thread of its own; a readable `abortFd` (an eventfd, or -1 for none) ends a wait at once.
class HttpClient {
public:
    HttpClient(std::string host, std::uint16_t port, int abortFd = -1);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // `headers`: further header lines, each ending in CR LF.
    HttpResponse request(std::string_view method, std::string_view target, std::string_view headers,
                         std::string_view body, std::chrono::milliseconds timeout);

private:
    using Deadline = std::chrono::steady_clock::time_point;
    bool connectBy(Deadline deadline, std::string& error);
    bool sendAll(std::string_view bytes, Deadline deadline, std::string& error);
    // Waits for the socket to be ready for `events`; false, with the reason, when the deadline
    // passed, the wait was aborted or the socket failed.
    bool waitFor(short events, Deadline deadline, std::string& error);
    bool readMore(std::string& buffer, Deadline deadline, std::string& error);
    HttpResponse readResponse(Deadline deadline);
    void closeConnection();

    const std::string host_;
    const std::uint16_t port_;
    const int abortFd_;
    int fd_ = -1;
};

} // namespace recording
