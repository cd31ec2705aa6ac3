// SPDX-License-Identifier: GPL-3.0-or-later
// The writer against a stand-in database on a loopback port: what it sends from a journal that
// grows, and how it holds its place while the database does not answer or fails.
#include "recording/influx_writer.h"
#include "recording/journal_writer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

struct Request {
    std::string head;
    std::string body;
};

// Answers each write with the next status of its script (0: no answer at all), 204 after it, and
// keeps every request it was sent.
class FakeDatabase {
public:
    explicit FakeDatabase(std::vector<int> script)
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
    ~FakeDatabase() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopFd_, &one, sizeof one);
        thread_.join();
        ::close(listenFd_);
        ::close(stopFd_);
    }

    std::uint16_t port() const { return port_; }
    std::vector<Request> requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }
    bool waitRequests(std::size_t count) const {
        std::unique_lock lock(mutex_);
        return arrived_.wait_for(lock, 20s, [&] { return requests_.size() >= count; });
    }

private:
    bool readable(int fd) const {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        ::poll(fds, 2, -1);
        return fds[1].revents == 0;
    }

    void serve() {
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

    void answerComplete(int connection, std::string& buffer) {
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

    const std::vector<int> script_;
    int listenFd_ = -1;
    const int stopFd_;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<Request> requests_;
    std::thread thread_;
};

struct Told {
    std::mutex mutex;
    std::vector<std::string> failures;
    int recoveries = 0;
};

std::size_t lineCount(const std::string& body) {
    return static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
}

TEST(InfluxWriter, HoldsItsBatchWhileTheDatabaseFailsAndGoesOnFromThereWhenItAnswers) {
    QTemporaryDir folder;
    const std::string journalPath = folder.filePath("run.tvj").toStdString();
    auto journal = std::make_unique<recording::JournalWriter>(
        journalPath, recording::JournalHeader{45000.5, "COM20", "kelvo"});
    journal->appendStatus(5, "OK");
    for (int i = 1; i <= 3; ++i) {
        journal->appendReading(100 * i, 1e7 + i, "Hz", "1000000" + std::to_string(i));
    }
    journal->flush();

    // The first write gets no answer at all, the next a server error, then they are taken.
    FakeDatabase database({0, 503});
    std::string error;
    const auto target = recording::influxTarget(
        {"http://127.0.0.1:" + std::to_string(database.port()), "", "b", "o", "t0k", {}}, error);
    ASSERT_TRUE(target) << error;
    Told told;
    recording::InfluxWriter::Reports reports{[&told](const std::string& why) {
                                                 const std::lock_guard lock(told.mutex);
                                                 told.failures.push_back(why);
                                             },
                                             [&told] {
                                                 const std::lock_guard lock(told.mutex);
                                                 ++told.recoveries;
                                             }};
    recording::InfluxWriter writer(*target, journalPath,
                                   recording::InfluxPoints({{"port", "COM20"}}, 0), reports,
                                   {.pollInterval = 10ms,
                                    .requestTimeout = 300ms,
                                    .firstRetry = 20ms,
                                    .longestRetry = 100ms,
                                    .batchPoints = 5000});

    // What comes meanwhile waits in the journal until the batch before it was taken.
    ASSERT_TRUE(database.waitRequests(1));
    journal->appendReading(400, 1e7 + 4, "Hz", "10000004");
    journal->appendReading(500, 1e7 + 5, "Hz", "10000005");
    writer.addGap(250, 0.125);
    journal->close();
    writer.finishJournal();
    EXPECT_TRUE(writer.waitSent(20s));

    const std::vector<Request> requests = database.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (const Request& request : requests) {
        EXPECT_EQ(
            request.head.rfind("POST /api/v2/write?org=o&bucket=b&precision=ns HTTP/1.1\r\n", 0),
            0u)
            << request.head;
        EXPECT_NE(request.head.find("\r\nAuthorization: Token t0k\r\n"), std::string::npos);
    }
    EXPECT_EQ(lineCount(requests[0].body), 4u) << requests[0].body;
    EXPECT_EQ(requests[1].body, requests[0].body);
    EXPECT_EQ(requests[2].body, requests[0].body);
    EXPECT_EQ(requests[3].body, "talvek,port=COM20 kind=\"gap\",seconds=0.125 250500000\n"
                                "talvek,port=COM20,quantity=frequency kind=\"reading\","
                                "value=10000004 400000000\n"
                                "talvek,port=COM20,quantity=frequency kind=\"reading\","
                                "value=10000005 500000000\n");
    EXPECT_EQ(writer.readingsSent(), 5u);
    const std::lock_guard lock(told.mutex);
    ASSERT_EQ(told.failures.size(), 1u);
    EXPECT_EQ(told.failures[0], "no answer within 0.3 s");
    EXPECT_EQ(told.recoveries, 1);
}

} // namespace
