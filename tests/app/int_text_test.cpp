// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/int_text.h"

#include <gtest/gtest.h>

namespace {

TEST(tryStrToInt, AcceptsDecimalAndHexadecimalWholeNumbers) {
    const struct {
        const char* Text;
        std::int32_t Value;
    } cases[] = {
        {"16", 16},
        {"0", 0},
        {"00012", 12},
        {"   16", 16},
        {"-5", -5},
        {"+7", 7},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"  +0xAbC", 0xABC},
        {"$7FFFFFFF", 0x7FFFFFFF},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-$80000000", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        const auto value = app::tryStrToInt(c.Text);
        ASSERT_TRUE(value.has_value()) << c.Text;
        EXPECT_EQ(*value, c.Value) << c.Text;
    }
}

TEST(tryStrToInt, RejectsWhatIsNotAWholeNumber) {
    for (const char* text :
         {"",           "   ",         "16 ",       "1 6",        "\t16",
          "1.5",        "1e3",         "abc",       "12a",        "+",
          "-",          "$",           "x",         "0x",         "-0x",
          "$G",         "0x$1",        "--5",       "+-5",        "$-5",
          "2147483648", "-2147483649", "$80000000", "0xFFFFFFFF", "99999999999999999999"}) {
        EXPECT_FALSE(app::tryStrToInt(text).has_value()) << '"' << text << '"';
    }
}

} // namespace
