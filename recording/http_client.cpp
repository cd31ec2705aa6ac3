// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/http_client.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace recording {
namespace {

constexpr std::size_t kLongestHead = 64 * 1024;
constexpr std::size_t kLargestBody = std::size_t{256} << 20;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
    }
    return lower;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

struct Head {
    int status = 0;
    bool chunked = false;
    bool closes = false;
    std::optional<std::size_t> length;
};

std::optional<Head> parseHead(std::string_view head) {
    Head parsed;
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view statusLine = head.substr(0, lineEnd);
    if (statusLine.rfind("HTTP/1.", 0) != 0 || statusLine.size() < 12) {
        return std::nullopt;
    }
    const std::string_view code = statusLine.substr(9, 3);
    if (std::from_chars(code.data(), code.data() + 3, parsed.status).ec != std::errc()) {
        return std::nullopt;
    }
    parsed.closes = statusLine.rfind("HTTP/1.0", 0) == 0;
    std::size_t at = lineEnd == std::string_view::npos ? head.size() : lineEnd + 2;
    while (at < head.size()) {
        std::size_t end = head.find("\r\n", at);
        end = end == std::string_view::npos ? head.size() : end;
        const std::string_view line = head.substr(at, end - at);
        at = end + 2;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string name = lowerCase(trimmed(line.substr(0, colon)));
        const std::string value = lowerCase(trimmed(line.substr(colon + 1)));
        if (name == "content-length") {
            std::size_t length = 0;
            if (std::from_chars(value.data(), value.data() + value.size(), length).ec !=
                std::errc()) {
                return std::nullopt;
            }
            parsed.length = length;
        } else if (name == "transfer-encoding") {
            parsed.chunked = value.find("chunked") != std::string::npos;
        } else if (name == "connection") {
            parsed.closes = value.find("close") != std::string::npos;
        }
    }
    return parsed;
}

std::string secondsText(std::chrono::milliseconds span) {
    const auto tenths = (span.count() + 50) / 100;
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
}

} // namespace

HttpClient::HttpClient(std::string host, std::uint16_t port, int abortFd)
    : host_(std::move(host)), port_(port), abortFd_(abortFd) {}

HttpClient::~HttpClient() {
    closeConnection();
}

void HttpClient::closeConnection() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool HttpClient::waitFor(short events, Deadline deadline, std::string& error) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            error = "no answer in time";
            return false;
        }
        pollfd fds[2] = {{fd_, events, 0}, {abortFd_, POLLIN, 0}};
        const int ready = ::poll(fds, abortFd_ >= 0 ? 2 : 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (abortFd_ >= 0 && (fds[1].revents & POLLIN) != 0) {
            error = "stopped";
            return false;
        }
        if (fds[0].revents != 0) {
            return true;
        }
    }
}

bool HttpClient::connectBy(Deadline deadline, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port_);
    if (const int failed = ::getaddrinfo(host_.c_str(), service.c_str(), &hints, &found)) {
        error = "cannot find " + host_ + ": " + ::gai_strerror(failed);
        return false;
    }
    error = "no address";
    for (addrinfo* address = found; address && fd_ < 0; address = address->ai_next) {
        fd_ = ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                       address->ai_protocol);
        if (fd_ < 0) {
            error = std::strerror(errno);
            continue;
        }
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (::connect(fd_, address->ai_addr, address->ai_addrlen) != 0 && errno != EINPROGRESS) {
            error = std::strerror(errno);
            closeConnection();
            continue;
        }
        int failure = 0;
        socklen_t size = sizeof failure;
        if (!waitFor(POLLOUT, deadline, error) ||
            ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &failure, &size) != 0 || failure != 0) {
            if (failure != 0) {
                error = std::strerror(failure);
            }
            closeConnection();
        }
    }
    ::freeaddrinfo(found);
    return fd_ >= 0;
}

bool HttpClient::sendAll(std::string_view bytes, Deadline deadline, std::string& error) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(POLLOUT, deadline, error)) {
                return false;
            }
        } else {
            error = sent < 0 ? std::strerror(errno) : "the connection closed";
            return false;
        }
    }
    return true;
}

bool HttpClient::readMore(std::string& buffer, Deadline deadline, std::string& error) {
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
        if (got > 0) {
            buffer.append(chunk, static_cast<std::size_t>(got));
            return true;
        }
        if (got == 0) {
            error = "the connection closed";
            return false;
        }
        if (errno != EAGAIN && errno != EINTR) {
            error = std::strerror(errno);
            return false;
        }
        if (!waitFor(POLLIN, deadline, error)) {
            return false;
        }
    }
}

HttpResponse HttpClient::readResponse(Deadline deadline) {
    HttpResponse response;
    std::string buffer;
    std::size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (buffer.size() > kLongestHead || !readMore(buffer, deadline, response.error)) {
            response.error = response.error.empty() ? "an answer too long" : response.error;
            return response;
        }
    }
    const auto head = parseHead(std::string_view(buffer).substr(0, headEnd + 2));
    if (!head) {
        response.error = "an answer that is no HTTP";
        return response;
    }
    std::string rest = buffer.substr(headEnd + 4);
    const bool bodiless = head->status == 204 || head->status == 304 || head->status < 200;
    std::string error;
    if (bodiless) {
        // nothing follows the head
    } else if (head->chunked) {
        for (;;) {
            std::size_t lineEnd;
            while ((lineEnd = rest.find("\r\n")) == std::string::npos) {
                if (!readMore(rest, deadline, error)) {
                    response.error = error;
                    return response;
                }
            }
            std::size_t size = 0;
            std::from_chars(rest.data(), rest.data() + lineEnd, size, 16);
            if (size > kLargestBody - response.body.size()) {
                response.error = "an answer too long";
                return response;
            }
            while (rest.size() < lineEnd + 2 + size + 2) {
                if (!readMore(rest, deadline, error)) {
                    response.error = error;
                    return response;
                }
            }
            response.body.append(rest, lineEnd + 2, size);
            rest.erase(0, lineEnd + 2 + size + 2);
            if (size == 0) {
                break; // trailers are not used here
            }
        }
    } else if (head->length) {
        if (*head->length > kLargestBody) {
            response.error = "an answer too long";
            return response;
        }
        while (rest.size() < *head->length) {
            if (!readMore(rest, deadline, error)) {
                response.error = error;
                return response;
            }
        }
        response.body = rest.substr(0, *head->length);
    } else {
        while (readMore(rest, deadline, error) && rest.size() <= kLargestBody) {
        }
        response.body = std::move(rest);
        closeConnection();
    }
    if (head->closes) {
        closeConnection();
    }
    response.status = head->status;
    return response;
}

HttpResponse HttpClient::request(std::string_view method, std::string_view target,
                                 std::string_view headers, std::string_view body,
                                 std::chrono::milliseconds timeout) {
    const Deadline deadline = std::chrono::steady_clock::now() + timeout;
    std::string message;
    message.reserve(target.size() + headers.size() + body.size() + 160);
    message.append(method).append(" ").append(target).append(" HTTP/1.1\r\n");
    const bool ipv6 = host_.find(':') != std::string::npos;
    message += "Host: " + (ipv6 ? '[' + host_ + ']' : host_) + ':' + std::to_string(port_) + "\r\n";
    message += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    message.append(headers).append("\r\n").append(body);
    HttpResponse response;
    // A kept connection the server has closed meanwhile fails at once: then once more afresh.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = fd_ >= 0;
        if (!reused && !connectBy(deadline, response.error)) {
            break;
        }
        if (sendAll(message, deadline, response.error)) {
            response = readResponse(deadline);
            if (response.status != 0) {
                return response;
            }
        }
        closeConnection();
        if (!reused || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    if (response.error == "no answer in time") {
        response.error = "no answer within " + secondsText(timeout) + " s";
    }
    return response;
}

} // namespace recording
