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
    for (const char* option :
         {"--com", "--start", "--format", "--gate", "--log", "--seed", "--garbage", "--split",
          "--no-delimiter", "--silence", "--burst", "--unplug-after", "--count", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_TRUE(parseOptions({"--help"}).values.help);
}

} // namespace
} // namespace tools
