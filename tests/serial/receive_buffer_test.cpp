#include "serial/receive_buffer.h"

#include <gtest/gtest.h>

using serial::BoundReceiveBuffer;
using serial::CutTelegram;

TEST(ReceiveBuffer, CutsOneTelegramAndCleansItAtTheFirstControlCharacter) {
    struct Case {
        std::string Buffer;
        std::string Delimiter;
        std::optional<std::string> Telegram;
        std::string Left;
    };
    const Case cases[] = {
        {"ABC\r\n", "\r\n", "ABC", ""},
        {"A\r\nB\r\n", "\r\n", "A", "B\r\n"},
        {"ABC\r", "\r\n", std::nullopt, "ABC\r"},
        {"A\r\n", "\n", "A", ""},
        {"\nB\r\n", "\r", "", "\n"},
        {std::string("AB\tCD\0EF", 8), std::string(1, '\0'), "AB", "EF"},
        {"\xB5s 1.5\x7F\xFF\r", "\r", "\xB5s 1.5\x7F\xFF", ""},
        {"ABC", "", std::nullopt, "ABC"},
    };
    for (const Case& c : cases) {
        std::string buffer = c.Buffer;
        EXPECT_EQ(CutTelegram(buffer, c.Delimiter), c.Telegram) << c.Buffer;
        EXPECT_EQ(buffer, c.Left) << c.Buffer;
    }
}

TEST(ReceiveBuffer, ALineWithoutDelimiterKeepsOnlyItsNewestBytes) {
    std::string buffer(5000, 'x');
    buffer += "tail";
    BoundReceiveBuffer(buffer, "\r\n");
    ASSERT_EQ(buffer.size(), serial::kReceiveBufferLimit);
    EXPECT_EQ(buffer.substr(buffer.size() - 4), "tail");

    std::string small(4096, 'y');
    BoundReceiveBuffer(small, "\r\n");
    EXPECT_EQ(small.size(), 4096u) << "at the bound nothing goes";
}

TEST(ReceiveBuffer, AnOverfullBufferIsCutAtATelegramStart) {
    // 1000 telegrams of 9 bytes: the cut drops whole telegrams, never the front of one.
    std::string buffer;
    for (int i = 0; i < 1000; ++i) {
        buffer += "T" + std::to_string(100000 + i) + "\r\n";
    }
    BoundReceiveBuffer(buffer, "\r\n");
    ASSERT_LE(buffer.size(), serial::kReceiveBufferLimit);
    EXPECT_GT(buffer.size(), serial::kReceiveBufferLimit - 8);
    EXPECT_EQ(buffer.substr(0, 2), "T1");
    EXPECT_EQ(buffer.size() % 9, 0u);

    // A delimiter split by the cut point still marks the start that follows it.
    std::string split = std::string(10, 'a') + "\r\n" + std::string(4095, 'b');
    BoundReceiveBuffer(split, "\r\n");
    EXPECT_EQ(split, std::string(4095, 'b'));
}
