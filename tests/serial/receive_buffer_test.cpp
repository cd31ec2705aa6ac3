// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/receive_buffer.h"

#include <gtest/gtest.h>

using serial::boundReceiveBuffer;
using serial::cutTelegrams;
using Telegrams = std::vector<std::string>;

TEST(ReceiveBuffer, CutsEveryTelegramAndCleansEachAtItsFirstControlCharacter) {
    struct Case {
        std::string Buffer;
        std::string Delimiter;
        Telegrams Cut;
        std::string Left;
    };
    const Case cases[] = {
        {"ABC\r\n", "\r\n", {"ABC"}, ""},
        {"A\r\nB\r\nC", "\r\n", {"A", "B"}, "C"},
        {"ABC\r", "\r\n", {}, "ABC\r"},
        {"A\r\nB\r\n", "\n", {"A", "B"}, ""},
        {"A\r\nB\r\n", "\r", {"A", ""}, "\n"},
        {"\r\n\r\n", "\r\n", {"", ""}, ""},
        {std::string("AB\tCD\0EF", 8), std::string(1, '\0'), {"AB"}, "EF"},
        {"\xB5s 1.5\x7F\xFF\r", "\r", {"\xB5s 1.5\x7F\xFF"}, ""},
        {"A\r\n", "", {}, "A\r\n"},
    };
    for (const Case& c : cases) {
        std::string buffer = c.Buffer;
        EXPECT_EQ(cutTelegrams(buffer, c.Delimiter), c.Cut) << c.Buffer;
        EXPECT_EQ(buffer, c.Left) << c.Buffer;
    }
}

TEST(ReceiveBuffer, KnowsWhetherACompleteTelegramIsIn) {
    struct Case {
        std::string Buffer;
        std::string Delimiter;
        bool holds;
    };
    const Case cases[] = {
        {"A\r\n", "\r\n", true}, {"A\r", "\r\n", false},
        {"\nA", "\r\n", false},  {"", "\r\n", false},
        {"A\r\n", "", false},    {std::string("A\0", 2), std::string(1, '\0'), true},
        {"A\r\nB", "\n", true},  {"AB", "\r", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(serial::holdsTelegram(c.Buffer, c.Delimiter), c.holds) << c.Buffer;
    }
}

TEST(ReceiveBuffer, ALineWithoutDelimiterKeepsOnlyItsNewestBytes) {
    std::string buffer(5000, 'x');
    buffer += "tail";
    EXPECT_TRUE(boundReceiveBuffer(buffer, "\r\n"));
    ASSERT_EQ(buffer.size(), serial::kReceiveBufferLimit);
    EXPECT_EQ(buffer.substr(buffer.size() - 4), "tail");

    std::string small(4096, 'y');
    EXPECT_FALSE(boundReceiveBuffer(small, "\r\n"));
    EXPECT_EQ(small.size(), 4096u) << "at the bound nothing goes";

    // Half a delimiter at the end stays, so the other half can still complete it.
    std::string halfDelimiter = std::string(6000, 'z') + "\r";
    EXPECT_TRUE(boundReceiveBuffer(halfDelimiter, "\r\n"));
    ASSERT_EQ(halfDelimiter.size(), serial::kReceiveBufferLimit);
    EXPECT_EQ(halfDelimiter.back(), '\r');
}

TEST(ReceiveBuffer, ABacklogOfTelegramsKeepsEveryByte) {
    std::string telegrams;
    for (int i = 0; i < 1000; ++i) {
        telegrams += "T" + std::to_string(100000 + i) + "\r\n";
    }
    const std::string lateDelimiter = std::string(9000, 'q') + "\r\nrest";
    for (const std::string& kept : {telegrams, lateDelimiter}) {
        std::string buffer = kept;
        EXPECT_FALSE(boundReceiveBuffer(buffer, "\r\n"));
        EXPECT_EQ(buffer, kept) << "the buffer holds complete telegrams";
    }

    // Cut at once, the backlog gives back every telegram in order.
    std::string buffer = telegrams;
    const Telegrams cut = cutTelegrams(buffer, "\r\n");
    ASSERT_EQ(cut.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(cut[i], "T" + std::to_string(100000 + i));
    }
    EXPECT_TRUE(buffer.empty());
}
