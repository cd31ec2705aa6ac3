// SPDX-License-Identifier: GPL-3.0-or-later
// The real virtual-kelvo program as a child process, and a peer on its pseudo-terminal that
// talks to it as the driver would; with readers for the log of what it sent.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace talvek::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class VirtualKelvo {
public:
    ~VirtualKelvo() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }

    QString home() const { return home_.path(); }
    std::string folder() const { return home_.path().toStdString() + "/talvek/ports"; }
    std::string logPath() const { return home_.path().toStdString() + "/sent.log"; }

    void start(QStringList args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home_.path());
        process_.setProcessEnvironment(env);
        process_.start(VIRTUAL_KELVO_PATH, args);
    }

    // Waits for the start-up line; false when the program did not come up.
    bool waitServing() {
        const QRegularExpression serving("serving (COM\\d+) at (\\S+)");
        const auto deadline = Clock::now() + milliseconds(5000);
        while (Clock::now() < deadline) {
            process_.waitForReadyRead(100);
            output_ += process_.readAllStandardOutput();
            const auto match = serving.match(QString::fromLatin1(output_));
            if (match.hasMatch()) {
                com = match.captured(1).toStdString();
                device = match.captured(2).toStdString();
                return true;
            }
            if (process_.state() == QProcess::NotRunning) {
                return false;
            }
        }
        return false;
    }

    std::string linkPath() const {
        std::string name = com;
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return folder() + "/" + name;
    }

    QProcess& process() { return process_; }

    std::string com;
    std::string device;

private:
    QTemporaryDir home_;
    QProcess process_;
    QByteArray output_;
};

// The program's side of the cable, opened like a serial device.
class Peer {
public:
    explicit Peer(const std::string& device) {
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0) {
            termios raw{};
            tcgetattr(fd_, &raw);
            cfmakeraw(&raw);
            tcsetattr(fd_, TCSANOW, &raw);
        }
    }
    ~Peer() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // The next line without its CR LF, or "<none>" after `timeout`. Notes when its first and
    // last bytes came.
    std::string nextLine(milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            if (const auto end = buffer_.find("\r\n"); end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 2);
                lineFirstByte = firstByte_;
                lineLastByte = lastByte_;
                firstByte_.reset();
                return line;
            }
            if (!fill(deadline)) {
                return "<none>";
            }
        }
    }

    // Whatever arrives until `quiet` passes without a byte.
    std::string readUntilQuiet(milliseconds quiet) {
        while (fill(Clock::now() + quiet)) {
        }
        return std::exchange(buffer_, {});
    }

    // Everything that arrives within `span`.
    std::string readDuring(milliseconds span) {
        const auto deadline = Clock::now() + span;
        while (Clock::now() < deadline) {
            fill(deadline);
        }
        return std::exchange(buffer_, {});
    }

    // True when the line dies (hang-up or read error) before `timeout`.
    bool waitHangUp(milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                if (p.revents & (POLLHUP | POLLERR)) {
                    return true;
                }
                char c;
                const ssize_t n = ::read(fd_, &c, 1);
                if (n == 0 || (n < 0 && errno == EIO)) {
                    return true;
                }
            }
        }
        return false;
    }

    std::optional<Clock::time_point> lineFirstByte;
    Clock::time_point lineLastByte;

private:
    bool fill(Clock::time_point deadline) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char bytes[256];
        const ssize_t n = ::read(fd_, bytes, sizeof bytes);
        if (n <= 0) {
            return false;
        }
        const auto now = Clock::now();
        if (!firstByte_) {
            firstByte_ = now;
        }
        lastByte_ = now;
        buffer_.append(bytes, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    std::string buffer_;
    std::optional<Clock::time_point> firstByte_;
    Clock::time_point lastByte_;
};

struct LogLine {
    std::string kind;
    std::string value;
    std::string text;
};

inline std::vector<LogLine> readLog(const std::string& path) {
    std::vector<LogLine> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string seconds;
        LogLine entry;
        std::getline(fields, seconds, '\t');
        std::getline(fields, entry.kind, '\t');
        std::getline(fields, entry.value, '\t');
        std::getline(fields, entry.text);
        lines.push_back(entry);
    }
    return lines;
}

inline std::string unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

inline bool linkExists(const std::string& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

} // namespace talvek::test
