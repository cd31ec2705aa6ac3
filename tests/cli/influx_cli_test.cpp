// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli record --influx against a real InfluxDB and the virtual counter program: two stations
// side by side outlast a database outage of 20 s and a counter pulled and plugged in again, and
// the database then holds every reading each sent, once, at its arrival; a wrong start ends with
// status 8.
#include "cli_run.h"
#include "influx_server.h"
#include "tests/e2e/virtual_counter.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

using cli_test::InfluxServer;
using Clock = std::chrono::steady_clock;

struct Recorded {
    double timeMs = 0;
    double value = 0;
};

std::vector<Recorded> recordedReadings(const std::string& output) {
    std::vector<Recorded> readings;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        Recorded reading;
        std::istringstream fields(line);
        if (line.rfind("/*", 0) != 0 && fields >> reading.timeMs >> reading.value) {
            readings.push_back(reading);
        }
    }
    return readings;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::int64_t utcNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// One station: a virtual counter and talvek-cli record with its tag, its standard error in a file.
struct Station {
    explicit Station(std::string stationName) : name(std::move(stationName)) {}
    std::string name;
    std::unique_ptr<VirtualCounter> counter;
    talvek::test::ChildProcess record;
    std::string output;
    std::string errPath;

    std::vector<Recorded> readings() { return recordedReadings(output += record.readOutput()); }
    std::string err() const { return fileText(errPath); }
};

class InfluxCli : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<InfluxServer>(home_.path().toStdString());
        ASSERT_TRUE(server_->start()) << "influxd did not start (scripts/ensure-deps.sh installs "
                                         "Debian's influxdb package)";
    }

    std::string path(const std::string& name) const {
        return home_.filePath(QString::fromStdString(name)).toStdString();
    }

    std::vector<std::pair<std::string, std::string>> environment() const {
        return {{"XDG_DATA_HOME", home_.path().toStdString()}};
    }

    std::unique_ptr<VirtualCounter> startCounter(const std::string& log, QStringList options) {
        auto counter = std::make_unique<VirtualCounter>(home_.path().toStdString(), path(log));
        options << "--start"
                << "idle"
                << "--gate"
                << "0.1";
        return counter->start(options) ? std::move(counter) : nullptr;
    }

    // talvek-cli record through a shell that sends its standard error to a file.
    bool startRecording(Station& station) {
        station.errPath = path(station.name + ".err");
        return station.record.start(
            "/bin/sh",
            {"-c", "exec \"$0\" \"$@\" 2>\"$ERR_FILE\"", TALVEK_CLI, "record", "--port",
             station.counter->comName, "--influx", server_->url(), "--database",
             InfluxServer::kDatabase, "--tag", "station=" + station.name},
            {{"XDG_DATA_HOME", home_.path().toStdString()}, {"ERR_FILE", station.errPath}});
    }

    // Waits up to `seconds` for `condition`, reading the stations' output meanwhile.
    template <typename Condition> bool waitFor(Condition condition, int seconds) {
        const auto deadline = Clock::now() + std::chrono::seconds(seconds);
        while (!condition()) {
            if (Clock::now() > deadline) {
                return false;
            }
            for (Station* station : stations_) {
                station->output += station->record.readOutput(20);
            }
        }
        return true;
    }

    QJsonArray pointsOf(const Station& station, const std::string& fields,
                        const std::string& kind) const {
        return server_->select("SELECT " + fields + " FROM talvek WHERE kind='" + kind +
                               "' AND station='" + station.name + "'");
    }

    QTemporaryDir home_;
    std::unique_ptr<InfluxServer> server_;
    std::vector<Station*> stations_;
};

TEST_F(InfluxCli, TwoStationsOutlastAnOutageAndTheDatabaseHoldsEveryReadingOnce) {
    Station a("a");
    Station b("b");
    stations_ = {&a, &b};
    a.counter = startCounter("a.log", {});
    ASSERT_TRUE(a.counter);
    b.counter = startCounter("b.log", {"--unplug-after", "4000"});
    ASSERT_TRUE(b.counter);
    const std::string comB = b.counter->comName;
    const std::int64_t startedNs = utcNowNs();
    ASSERT_TRUE(startRecording(a));
    ASSERT_TRUE(startRecording(b));

    // b's counter goes away and comes back under its COM name while the database is up.
    ASSERT_TRUE(b.counter->waitFinished(15000));
    auto firstB = std::move(b.counter);
    b.counter = startCounter("b2.log", {"--com", QString::fromStdString(comB.substr(3))});
    ASSERT_TRUE(b.counter);
    ASSERT_TRUE(waitFor([&] { return b.err().find(" reconnected; ") != std::string::npos; }, 20))
        << b.err();
    ASSERT_TRUE(waitFor([&] { return pointsOf(a, "value", "reading").size() >= 20; }, 20));

    // The outage: 20 s of readings while the database is not there.
    server_->stop();
    const double stoppedAtMs = a.readings().back().timeMs;
    ASSERT_TRUE(waitFor(
        [&] {
            return a.readings().back().timeMs > stoppedAtMs + 20000 &&
                   a.err().find("does not take the readings") != std::string::npos &&
                   b.err().find("does not take the readings") != std::string::npos;
        },
        60))
        << a.err() << b.err();
    ASSERT_TRUE(server_->start());
    ASSERT_TRUE(waitFor(
        [&] {
            return a.err().find("takes the readings again") != std::string::npos &&
                   b.err().find("takes the readings again") != std::string::npos;
        },
        30))
        << a.err() << b.err();
    for (Station* station : stations_) {
        station->record.signal(SIGTERM);
        ASSERT_TRUE(station->record.waitFinished(20000));
        EXPECT_EQ(station->record.exitCode(), 0) << station->err();
    }

    // Everything reached the database: the journals in the data folder went with the clean end.
    for (const auto& entry : std::filesystem::directory_iterator(path("talvek"))) {
        EXPECT_NE(entry.path().extension(), ".tvj") << entry.path();
    }
    for (Station* station : stations_) {
        SCOPED_TRACE(station->name);
        const std::string err = station->err();
        EXPECT_EQ(occurrences(err, "does not take the readings"), 1u) << err;
        EXPECT_EQ(occurrences(err, "takes the readings again"), 1u) << err;
        const std::vector<Recorded> recorded = station->readings();
        const QJsonArray points = pointsOf(*station, "value", "reading");
        ASSERT_EQ(points.size(), static_cast<qsizetype>(recorded.size()));
        ASSERT_GT(recorded.size(), 250u); // 10 a second for more than the outage
        // At their arrival: UTC from the start on, and apart as the recorded times are.
        const auto firstNs = static_cast<std::int64_t>(points[0].toArray()[0].toDouble());
        EXPECT_GT(firstNs, startedNs);
        EXPECT_LT(firstNs, startedNs + std::int64_t{15'000'000'000});
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QJsonArray point = points[i].toArray();
            const auto ns = static_cast<std::int64_t>(point[0].toDouble());
            EXPECT_NEAR(static_cast<double>(ns - firstNs) / 1e6,
                        recorded[i].timeMs - recorded[0].timeMs, 1e-3)
                << i;
            EXPECT_NEAR(point[1].toDouble(), recorded[i].value, 1e-9 * recorded[i].value) << i;
        }
    }

    // Point for point what the counters sent: a's readings in order, each value to the last
    // digit, and the replies to its set-up after its identification.
    const auto sentA = a.counter->sentReadings();
    const QJsonArray readingsA = pointsOf(a, "value", "reading");
    ASSERT_LE(static_cast<std::size_t>(readingsA.size()), sentA.size());
    for (qsizetype i = 0; i < readingsA.size(); ++i) {
        ASSERT_TRUE(sentA[i].value);
        EXPECT_NEAR(readingsA[i].toArray()[1].toDouble(), *sentA[i].value, 1e-14 * *sentA[i].value)
            << i;
    }
    std::vector<std::string> replies;
    for (const SentTelegram& sent : a.counter->sent()) {
        if (sent.kind == "reply") {
            replies.push_back(sent.text);
        }
    }
    const QJsonArray statusA = pointsOf(a, "text", "status");
    ASSERT_GE(statusA.size(), 2);
    ASSERT_LT(static_cast<std::size_t>(statusA.size()), replies.size());
    for (qsizetype i = 0; i < statusA.size(); ++i) {
        EXPECT_EQ(statusA[i].toArray()[1].toString().toStdString(), replies[i + 1]) << i;
    }

    // b: what its first counter sent before the pull, then what the second sent, and the gap of
    // the reconnect with the length the recorder told.
    const auto sentB1 = firstB->sentReadings();
    const auto sentB2 = b.counter->sentReadings();
    const QJsonArray readingsB = pointsOf(b, "value", "reading");
    const auto sentAs = [](const QJsonValue& point, const SentTelegram& sent) {
        const double value = point.toArray()[1].toDouble();
        return sent.value && std::abs(value - *sent.value) <= 1e-14 * *sent.value;
    };
    std::size_t before = 0;
    while (before < sentB1.size() && before < static_cast<std::size_t>(readingsB.size()) &&
           sentAs(readingsB[static_cast<qsizetype>(before)], sentB1[before])) {
        ++before;
    }
    ASSERT_GT(before, 10u);
    ASSERT_LE(readingsB.size() - static_cast<qsizetype>(before),
              static_cast<qsizetype>(sentB2.size()));
    for (qsizetype i = static_cast<qsizetype>(before); i < readingsB.size(); ++i) {
        EXPECT_TRUE(sentAs(readingsB[i], sentB2[static_cast<std::size_t>(i) - before])) << i;
    }
    const QJsonArray gaps = pointsOf(b, "seconds", "gap");
    ASSERT_EQ(gaps.size(), 1);
    const std::string err = b.err();
    const std::size_t told = err.find(" reconnected; ") + 14;
    EXPECT_NEAR(gaps[0].toArray()[1].toDouble(), std::stod(err.substr(told)), 0.051) << err;
}

TEST_F(InfluxCli, AWrongDatabaseEndsTheStartWithStatus8AndOneLine) {
    auto counter = startCounter("sent.log", {});
    ASSERT_TRUE(counter);
    const std::string port = counter->comName;
    const std::string database = InfluxServer::kDatabase;
    const struct {
        const char* what;
        std::vector<std::string> options;
        const char* says;
    } cases[] = {
        {"a URL that does not parse",
         {"--influx", "http://[::1", "--database", database},
         "does not parse"},
        {"a token file that is not there",
         {"--influx", server_->url(), "--bucket", "b", "--org", "o", "--token-file",
          path("no-token")},
         "cannot read the token file"},
        {"a refused login", {"--influx", server_->url("wrong"), "--database", database}, "401"},
        {"no such database",
         {"--influx", server_->url(), "--database", "nope"},
         "database not found"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"record", "--port", port};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const cli_test::CliRun run = cli_test::runCli(arguments, environment());
        EXPECT_EQ(run.exitCode, 8) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.what;
        EXPECT_EQ(run.out, "") << c.what;
    }
}

} // namespace
