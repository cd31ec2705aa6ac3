// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/telegram_reading.h"

#include <gtest/gtest.h>

namespace {

// A 32-character display dump with the given unit field (3 chars) and number field (11 chars).
std::string dump(const std::string& unit, const std::string& number) {
    std::string t = "av" + std::string(15, ' ') + unit + " " + number;
    EXPECT_EQ(t.size(), 32u);
    return t;
}

TEST(TelegramReading, DisplayDumpsAndHertzValuesAreReadings) {
    struct Case {
        std::string telegram;
        double value;
        const char* valueText;
        const char* unitText;
        bool period;
    };
    const Case cases[] = {
        {dump("MHz", "  10.000000"), 1e7, "  10.000000", "MHz", false},
        {dump("GHz", "   2.500000"), 2.5e9, "   2.500000", "GHz", false},
        {dump("kHz", "   1.000001"), 1000.001, "   1.000001", "kHz", false},
        {dump(" ms", "      1.500"), 0.0015, "      1.500", "ms", true},
        {dump(" us", "     12.000"), 12e-6, "     12.000", "us", true},
        {dump(" ns", "    100.000"), 100e-9, "    100.000", "ns", true},
        {dump(" ps", "    250.000"), 250e-12, "    250.000", "ps", true},
        {dump(" Hz", "     50.000"), 50.0, "     50.000", "Hz", false},
        {dump("  s", "      2.000"), 2.0, "      2.000", "s", true},
        {"10000000.5", 10000000.5, "10000000.5", "Hz", false},
        {"123456", 123456.0, "123456", "Hz", false},
        {"12345678901234", 12345678901234.0, "12345678901234", "Hz", false},
    };
    for (const Case& c : cases) {
        const auto reading = counter::readingFromTelegram(c.telegram);
        ASSERT_TRUE(reading.has_value()) << c.telegram;
        EXPECT_DOUBLE_EQ(reading->value, c.value) << c.telegram;
        EXPECT_EQ(reading->valueText, c.valueText) << c.telegram;
        EXPECT_EQ(reading->unitText, c.unitText) << c.telegram;
        EXPECT_EQ(reading->isPeriod(), c.period) << c.telegram;
        EXPECT_EQ(reading->telegram, c.telegram);
    }
}

TEST(TelegramReading, EverythingElseIsAStatusTelegram) {
    const std::string statuses[] = {
        "OK",
        "12345",                              // 5 characters
        "123456789012345",                    // 15 characters
        "bv" + std::string(30, 'x'),          // 32 characters not beginning with "av"
        "ERROR!",                             // no number: not a reading of -1 Hz
        dump("MHz", "  --.------"),           // dump without a readable number
        dump("GHz", "      1e308"),           // scaled beyond the range of a double
        "kelvo FC-3000 V2.1 virtual counter", // identification while connected
    };
    for (const std::string& s : statuses) {
        EXPECT_FALSE(counter::readingFromTelegram(s).has_value()) << s;
    }
}

TEST(TelegramReading, OnlyLowerCaseKelvoIdentifies) {
    EXPECT_TRUE(counter::isIdentification("kelvo"));
    EXPECT_TRUE(counter::isIdentification("kelvo FC-3000 V2.1 virtual counter"));
    EXPECT_FALSE(counter::isIdentification("KELVO upper case"));
    EXPECT_FALSE(counter::isIdentification("kelv"));
    EXPECT_FALSE(counter::isIdentification(""));
}

} // namespace
