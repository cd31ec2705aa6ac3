// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real virtual-kelvo program and talks to it over its pseudo-terminal, as the driver
// would: identification, measurement, the log of what it sent, pacing, unplugging, and the
// COM link that must come and go with the program.

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

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

std::vector<LogLine> readLog(const std::string& path) {
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

std::string unescape(const std::string& text) {
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

bool linkExists(const std::string& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

TEST(VirtualKelvoRun, IdentifiesMeasuresLogsAndRemovesItsLink) {
    VirtualKelvo counter;
    counter.start({"--start", "idle", "--gate", "0.1", "--count", "3", "--seed", "7", "--log",
                   QString::fromStdString(counter.logPath())});
    ASSERT_TRUE(counter.waitServing());
    EXPECT_EQ(counter.com, "COM20");
    ASSERT_TRUE(linkExists(counter.linkPath()));
    EXPECT_EQ(fs::read_symlink(counter.linkPath()).string(), counter.device);

    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    peer.send("\x1bI\r");
    const std::string id = peer.nextLine(milliseconds(1500));
    EXPECT_EQ(id.substr(0, 5), "kelvo") << id;
    EXPECT_GE(id.size(), 15u);

    peer.send("\x1br\r");
    EXPECT_EQ(peer.nextLine(milliseconds(1500)), "OK");
    std::vector<std::string> readings;
    for (int i = 0; i < 3; ++i) {
        readings.push_back(peer.nextLine(milliseconds(1500)));
        EXPECT_EQ(readings.back().size(), 32u) << readings.back();
        EXPECT_EQ(readings.back().substr(0, 2), "av");
        EXPECT_EQ(readings.back().substr(17, 3), "MHz");
    }
    EXPECT_EQ(peer.readUntilQuiet(milliseconds(500)), ""); // --count 3: no fourth reading

    counter.process().terminate();
    ASSERT_TRUE(counter.process().waitForFinished(3000));
    EXPECT_EQ(counter.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(counter.process().exitCode(), 0);
    EXPECT_FALSE(linkExists(counter.linkPath()));

    const std::vector<LogLine> log = readLog(counter.logPath());
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].kind, "reply");
    EXPECT_EQ(log[0].text, id);
    EXPECT_EQ(log[1].kind, "reply");
    EXPECT_EQ(log[1].text, "OK");
    for (int i = 0; i < 3; ++i) {
        const LogLine& entry = log[2 + i];
        EXPECT_EQ(entry.kind, "reading");
        EXPECT_EQ(entry.text, readings[i]);
        EXPECT_DOUBLE_EQ(std::stod(entry.value), std::stod(readings[i].substr(21)) * 1e6);
        EXPECT_NEAR(std::stod(entry.value), 10e6, 10.0);
    }
}

TEST(VirtualKelvoRun, TelegramTrickleInAtNineThousandSixHundredBaud) {
    VirtualKelvo counter;
    counter.start({"--start", "idle", "--format", "hertz", "--gate", "0.1"});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    peer.send("\x1b"
              "1\r");
    EXPECT_EQ(peer.nextLine(milliseconds(1500)), "OK");
    const std::string reading = peer.nextLine(milliseconds(1500));
    ASSERT_GE(reading.size(), 6u);
    ASSERT_LE(reading.size(), 14u);
    ASSERT_TRUE(peer.lineFirstByte.has_value());
    // n bytes take (n - 1) byte times from the first to the last: ~1.04 ms each.
    const double spanMs =
        std::chrono::duration<double, std::milli>(peer.lineLastByte - *peer.lineFirstByte).count();
    EXPECT_GE(spanMs, 0.9 * 1.0417 * static_cast<double>(reading.size() + 1)) << reading;
    EXPECT_EQ(peer.readUntilQuiet(milliseconds(400)), ""); // a single measurement is one reading
}

TEST(VirtualKelvoRun, NobodyListeningMeansNoBacklogAndCtrlCRemovesTheLink) {
    VirtualKelvo counter;
    counter.start({"--gate", "0.1", "--format", "hertz"});
    ASSERT_TRUE(counter.waitServing());
    ::usleep(800 * 1000); // eight readings go out to nobody
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    const std::string first = peer.readDuring(milliseconds(150));
    EXPECT_LE(std::count(first.begin(), first.end(), '\n'), 3) << first;
    ::kill(static_cast<pid_t>(counter.process().processId()), SIGINT);
    ASSERT_TRUE(counter.process().waitForFinished(3000));
    EXPECT_EQ(counter.process().exitCode(), 0);
    EXPECT_FALSE(linkExists(counter.linkPath()));
}

TEST(VirtualKelvoRun, UnplugLooksLikeADeviceThatIsGone) {
    VirtualKelvo counter;
    counter.start({"--unplug-after", "400", "--gate", "0.1"});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    EXPECT_TRUE(peer.waitHangUp(milliseconds(3000)));
    ASSERT_TRUE(counter.process().waitForFinished(3000));
    EXPECT_EQ(counter.process().exitCode(), 0);
    EXPECT_FALSE(linkExists(counter.linkPath()));
}

TEST(VirtualKelvoRun, RefusesAComNumberThatIsLiveElsewhere) {
    VirtualKelvo counter;
    const std::string other = counter.home().toStdString() + "/other-device";
    std::ofstream(other) << "";
    fs::create_directories(counter.folder());
    fs::create_symlink(other, counter.folder() + "/com5");
    counter.start({"--com", "5"});
    ASSERT_TRUE(counter.process().waitForFinished(5000));
    EXPECT_EQ(counter.process().exitCode(), 1);
    EXPECT_TRUE(counter.process().readAllStandardError().contains("COM5"));
    EXPECT_EQ(fs::read_symlink(counter.folder() + "/com5").string(), other);
}

TEST(VirtualKelvoRun, GarbageAndSplitTelegramsAreAllInTheLog) {
    VirtualKelvo counter;
    counter.start({"--start", "idle", "--gate", "0.1", "--count", "6", "--garbage", "0.7",
                   "--split", "--seed", "5", "--log", QString::fromStdString(counter.logPath())});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    peer.send("\x1br\r");
    const std::string received = peer.readUntilQuiet(milliseconds(600));
    counter.process().terminate();
    ASSERT_TRUE(counter.process().waitForFinished(3000));

    // The log, put back together, is exactly the byte stream that arrived.
    std::string logged;
    int readings = 0;
    int garbage = 0;
    for (const LogLine& entry : readLog(counter.logPath())) {
        logged += unescape(entry.text);
        if (entry.kind != "garbage") {
            logged += "\r\n";
        }
        readings += entry.kind == "reading";
        garbage += entry.kind == "garbage";
    }
    EXPECT_EQ(received, logged);
    EXPECT_EQ(readings, 6);
    EXPECT_GT(garbage, 0);
}

TEST(VirtualKelvoRun, SilenceHoldsEverythingBackThenTheRhythmResumes) {
    VirtualKelvo counter;
    counter.start({"--gate", "0.1", "--format", "hertz", "--silence", "700"});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    ASSERT_NE(peer.nextLine(milliseconds(1000)), "<none>");
    const auto silenceBegan = peer.lineLastByte;
    peer.send("\x1bI\r"); // answered only after the silence
    EXPECT_EQ(peer.nextLine(milliseconds(500)), "<none>");
    EXPECT_EQ(peer.nextLine(milliseconds(1500)).substr(0, 5), "kelvo");
    const double silentMs =
        std::chrono::duration<double, std::milli>(*peer.lineFirstByte - silenceBegan).count();
    EXPECT_GE(silentMs, 650);
    // One reading per gate again, no burst of readings to catch up.
    const std::string rest = peer.readDuring(milliseconds(500));
    const auto lines = std::count(rest.begin(), rest.end(), '\n');
    EXPECT_GE(lines, 2);
    EXPECT_LE(lines, 7);
}

TEST(VirtualKelvoRun, BurstSendsFarAboveLineRate) {
    VirtualKelvo counter;
    counter.start({"--burst", "10"});
    ASSERT_TRUE(counter.waitServing());
    Peer peer(counter.device);
    ASSERT_TRUE(peer.isOpen());
    // The line carries 480 bytes in half a second; ten times that is on offer.
    EXPECT_GT(peer.readDuring(milliseconds(500)).size(), 1500u);
}

TEST(VirtualKelvoRun, PortIsFreshAgainForTheNextProgram) {
    VirtualKelvo counter;
    counter.start({"--gate", "0.1", "--format", "hertz"});
    ASSERT_TRUE(counter.waitServing());
    {
        // A program that takes the port for itself and leaves readings unread.
        Peer first(counter.device);
        ASSERT_TRUE(first.isOpen());
        ASSERT_EQ(ioctl(first.fd(), TIOCEXCL), 0);
        ::usleep(400 * 1000);
    }
    ::usleep(100 * 1000);
    Peer next(counter.device);
    ASSERT_TRUE(next.isOpen());
    int exclusive = -1;
    ASSERT_EQ(ioctl(next.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0); // else nobody but root could open it again
    const std::string backlog = next.readDuring(milliseconds(50));
    EXPECT_LE(std::count(backlog.begin(), backlog.end(), '\n'), 1) << backlog;
}

} // namespace
