// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tools {
namespace {

TEST(Options, DefaultsMeasureContinuouslyWithDumpsAtOneSecond) {
    const ParsedOptions p = parseOptions({});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.values.com, 0);
    EXPECT_TRUE(p.values.startContinuous);
    EXPECT_EQ(p.values.format, TelegramFormat::Dump);
    EXPECT_EQ(p.values.gateSeconds, 1.0);
    EXPECT_EQ(p.values.burst, 1.0);
    EXPECT_EQ(p.values.count, -1);
    EXPECT_EQ(p.values.unplugAfterMs, -1);
}

TEST(Options, EveryOptionIsRead) {
    const ParsedOptions p =
        parseOptions({"--com",     "7",         "--start=idle", "--format", "hertz",
                      "--gate",    "0.1",       "--log",        "/tmp/x",   "--seed",
                      "99",        "--garbage", "0.25",         "--split",  "--no-delimiter",
                      "--silence", "3000",      "--burst",      "10",       "--unplug-after=500",
                      "--count",   "4"});
    ASSERT_EQ(p.error, "");
    const Options& o = p.values;
    EXPECT_EQ(o.com, 7);
    EXPECT_FALSE(o.startContinuous);
    EXPECT_EQ(o.format, TelegramFormat::Hertz);
    EXPECT_EQ(o.gateSeconds, 0.1);
    EXPECT_EQ(o.logFile, "/tmp/x");
    EXPECT_EQ(o.seed, 99u);
    EXPECT_EQ(o.garbageRate, 0.25);
    EXPECT_TRUE(o.split);
    EXPECT_TRUE(o.noDelimiter);
    EXPECT_EQ(o.silenceMs, 3000);
    EXPECT_EQ(o.burst, 10.0);
    EXPECT_EQ(o.unplugAfterMs, 500);
    EXPECT_EQ(o.count, 4);
}

class BadCommandLine : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadCommandLine, IsRefusedWithAMessage) {
    EXPECT_NE(parseOptions(GetParam()).error, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadCommandLine,
    ::testing::Values(
        std::vector<std::string>{"--com"}, std::vector<std::string>{"--com", "0"},
        std::vector<std::string>{"--com", "256"}, std::vector<std::string>{"--com", "2x"},
        std::vector<std::string>{"--start", "running"}, std::vector<std::string>{"--format", "csv"},
        std::vector<std::string>{"--gate", "0.5"}, std::vector<std::string>{"--garbage", "1.5"},
        std::vector<std::string>{"--garbage", "nan"}, std::vector<std::string>{"--burst", "0.5"},
        std::vector<std::string>{"--silence", "-1"}, std::vector<std::string>{"--count", "many"},
        std::vector<std::string>{"--split=yes"}, std::vector<std::string>{"--log", ""},
        std::vector<std::string>{"--frobnicate"}, std::vector<std::string>{"com7"}));

TEST(Options, HelpExplainsEveryOption) {
    const std::string help = usageText();
    for (const char* option : {"--com", "--start", "--format", "--gate", "--log", "--seed",
                               "--garbage", "--split", "--no-delimiter", "--silence", "--line-rate",
                               "--burst", "--unplug-after", "--count", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_TRUE(parseOptions({"--help"}).values.help);
}

TEST(Options, TicStreamsTimeStampsUnlessAskedForIntervals) {
    const ParsedOptions stamps = parseOptions({"--instrument", "tic"});
    ASSERT_EQ(stamps.error, "");
    EXPECT_EQ(stamps.values.instrument, InstrumentKind::Tic);
    EXPECT_EQ(stamps.values.ticFormat, TicFormat::Timestamp);
    // The format may come before the instrument it belongs to.
    const ParsedOptions intervals =
        parseOptions({"--format", "interval", "--instrument=tic", "--gate", "0.1"});
    ASSERT_EQ(intervals.error, "");
    EXPECT_EQ(intervals.values.ticFormat, TicFormat::Interval);
    EXPECT_EQ(intervals.values.gateSeconds, 0.1);
    const std::string help = usageText();
    for (const char* word : {"--instrument", "timestamp", "interval", "115200"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

struct RefusalCase {
    std::vector<std::string> args;
    const char* says;
};

class RefusedForTheInstrument : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedForTheInstrument, SaysWhy) {
    EXPECT_NE(parseOptions(GetParam().args).error.find(GetParam().says), std::string::npos)
        << parseOptions(GetParam().args).error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedForTheInstrument,
    ::testing::Values(
        RefusalCase{{"--instrument", "tic", "--start", "idle"}, "always streams"},
        RefusalCase{{"--start", "idle", "--instrument", "tic"}, "always streams"},
        RefusalCase{{"--instrument", "tic", "--format", "dump"}, "--instrument kelvo"},
        RefusalCase{{"--format", "hertz", "--instrument", "tic"}, "--instrument kelvo"},
        RefusalCase{{"--instrument", "tic", "--format", "csv"}, "timestamp or interval"},
        RefusalCase{{"--format", "timestamp"}, "--instrument tic"},
        RefusalCase{{"--instrument", "ticc"}, "kelvo or tic"}));

} // namespace
} // namespace tools
