#include "tools/options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vkelvo {
namespace {

TEST(Options, DefaultsMeasureContinuouslyWithDumpsAtOneSecond) {
    const ParsedOptions p = ParseOptions({});
    ASSERT_EQ(p.Error, "");
    EXPECT_EQ(p.Values.Com, 0);
    EXPECT_TRUE(p.Values.StartContinuous);
    EXPECT_EQ(p.Values.Format, TelegramFormat::Dump);
    EXPECT_EQ(p.Values.GateSeconds, 1.0);
    EXPECT_EQ(p.Values.Burst, 1.0);
    EXPECT_EQ(p.Values.Count, -1);
    EXPECT_EQ(p.Values.UnplugAfterMs, -1);
}

TEST(Options, EveryOptionIsRead) {
    const ParsedOptions p =
        ParseOptions({"--com",     "7",         "--start=idle", "--format", "hertz",
                      "--gate",    "0.1",       "--log",        "/tmp/x",   "--seed",
                      "99",        "--garbage", "0.25",         "--split",  "--no-delimiter",
                      "--silence", "3000",      "--burst",      "10",       "--unplug-after=500",
                      "--count",   "4"});
    ASSERT_EQ(p.Error, "");
    const Options& o = p.Values;
    EXPECT_EQ(o.Com, 7);
    EXPECT_FALSE(o.StartContinuous);
    EXPECT_EQ(o.Format, TelegramFormat::Hertz);
    EXPECT_EQ(o.GateSeconds, 0.1);
    EXPECT_EQ(o.LogFile, "/tmp/x");
    EXPECT_EQ(o.Seed, 99u);
    EXPECT_EQ(o.GarbageRate, 0.25);
    EXPECT_TRUE(o.Split);
    EXPECT_TRUE(o.NoDelimiter);
    EXPECT_EQ(o.SilenceMs, 3000);
    EXPECT_EQ(o.Burst, 10.0);
    EXPECT_EQ(o.UnplugAfterMs, 500);
    EXPECT_EQ(o.Count, 4);
}

class BadCommandLine : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadCommandLine, IsRefusedWithAMessage) {
    EXPECT_NE(ParseOptions(GetParam()).Error, "");
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
    const std::string help = UsageText();
    for (const char* option :
         {"--com", "--start", "--format", "--gate", "--log", "--seed", "--garbage", "--split",
          "--no-delimiter", "--silence", "--burst", "--unplug-after", "--count", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_TRUE(ParseOptions({"--help"}).Values.Help);
}

} // namespace
} // namespace vkelvo
