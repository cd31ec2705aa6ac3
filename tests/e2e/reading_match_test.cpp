// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison of both sides of the line must itself catch a lost, doubled, invented or
// reordered reading, or every end-to-end verdict would be worthless.

#include "tests/e2e/reading_match.h"

#include <gtest/gtest.h>

namespace {

SentTelegram reading(double value) {
    return {0, "reading", value, "x"};
}

SentTelegram garbage(const std::string& text) {
    return {0, "garbage", std::nullopt, text};
}

std::vector<LoggedReading> Logged(std::initializer_list<double> values) {
    std::vector<LoggedReading> logged;
    for (const double v : values) {
        logged.push_back({0, v});
    }
    return logged;
}

struct MatchCase {
    const char* name;
    std::vector<SentTelegram> sent;
    std::vector<LoggedReading> logged;
    bool agree;
};

TEST(ReadingMatchTest, CatchesEveryKindOfDisagreement) {
    const std::vector<MatchCase> cases = {
        {"same", {reading(1), reading(2), reading(3)}, Logged({1, 2, 3}), true},
        {"lost", {reading(1), reading(2), reading(3)}, Logged({1, 3}), false},
        {"lost last", {reading(1), reading(2)}, Logged({1}), false},
        {"doubled", {reading(1), reading(2)}, Logged({1, 1, 2}), false},
        {"doubled equal run", {reading(1), reading(1)}, Logged({1, 1, 1}), false},
        {"invented", {reading(1)}, Logged({1, 7}), false},
        {"reordered", {reading(1), reading(2)}, Logged({2, 1}), false},
        {"wrong value", {reading(10000000.5)}, Logged({10000000.6}), false},
        {"15 digits", {reading(10000000.800000001)}, Logged({10000000.8}), true},
        {"glued may go", {reading(1), garbage("ab"), reading(2), reading(3)}, Logged({1, 3}), true},
        {"glued may stay", {reading(1), garbage("ab"), reading(2)}, Logged({1, 2}), true},
        {"own line end", {garbage("ab\\x0d\\x0a"), reading(2)}, Logged({}), false},
        {"glued twin", {garbage("ab"), reading(5), reading(5), reading(6)}, Logged({5, 6}), true},
        {"twin lost", {reading(5), reading(5), reading(6)}, Logged({5, 6}), false},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(compareReadings(c.sent, c.logged).empty(), c.agree) << c.name;
    }
}

TEST(ReadingMatchTest, UndelimitedLineRequiresNothingButInventsNothing) {
    const std::vector<SentTelegram> sent = {reading(1), reading(2)};
    EXPECT_EQ(compareReadings(sent, Logged({}), false), "");
    EXPECT_EQ(compareReadings(sent, Logged({2}), false), "");
    EXPECT_NE(compareReadings(sent, Logged({3}), false), "");
}

TEST(ReadingMatchTest, OnlyReadingsInFlightAtTheUnplugMayBeLost) {
    const std::vector<SentTelegram> sent = {
        reading(1), reading(2), reading(3), {0, "unplug", std::nullopt, ""}};
    EXPECT_EQ(compareReadings(sent, Logged({1, 2}), true, 2), "");
    EXPECT_NE(compareReadings(sent, Logged({1, 3}), true, 2), "");
}

} // namespace
