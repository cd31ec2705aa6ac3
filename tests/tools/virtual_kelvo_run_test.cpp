// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real virtual-kelvo program and talks to it over its pseudo-terminal, as the driver
// would: identification, measurement, the log of what it sent, pacing, unplugging, and the
// COM link that must come and go with the program.

#include "tests/tools/virtual_kelvo_process.h"

#include <csignal>
#include <sys/ioctl.h>

namespace {

using namespace talvek::test;

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

// At line rate the readings come back to back at 9600 baud, whatever the gate: some 28 display
// dumps of 34 bytes a second, where the gate of 1 s gives one.
TEST(VirtualKelvoRun, LineRateFillsTheLineWithReadings) {
    for (const bool lineRate : {false, true}) {
        VirtualKelvo counter;
        counter.start(lineRate ? QStringList{"--line-rate"} : QStringList{});
        ASSERT_TRUE(counter.waitServing());
        Peer peer(counter.device);
        ASSERT_TRUE(peer.isOpen());
        const std::string sent = peer.readDuring(milliseconds(1000));
        const auto lines = std::count(sent.begin(), sent.end(), '\n');
        if (lineRate) {
            EXPECT_GE(lines, 22) << "readings in a second";
            EXPECT_LE(lines, 30) << "readings in a second";
        } else {
            EXPECT_LE(lines, 3) << "readings in a second";
        }
    }
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
