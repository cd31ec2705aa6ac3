// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/text_tokens.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(nextToken, CutsTheFirstTokenAndLeavesTheRest) {
    const struct {
        std::string Line;
        char separator;
        std::string token;
        std::string rest;
    } cases[] = {
        {"2000        10000000.5", ' ', "2000", "        10000000.5"},
        {"        10000000.5", ' ', "10000000.5", ""},
        {"2000        1.5E-6", ' ', "2000", "        1.5E-6"},
        {"  1.5E-6", ' ', "1.5e-6", ""},
        {"ABC\tDef", ' ', "abc", "\tDef"},
        {" \t\0ÄB x"s, ' ', "Äb", " x"}, // only ASCII letters change case
        {"\"Quoted Text\" rest", ' ', "Quoted Text", " rest"},
        {"\"Quoted\"tail", ' ', "Quoted", "tail"},
        {"\"unterminated Text", ' ', "unterminated Text", ""},
        {"\"\"", ' ', "", ""},
        {"", ' ', "", ""},
        {" \t ", ' ', "", ""},
        {";;A;b", ';', "a", ";b"},
        {"a b;c", ';', "a", " b;c"},
    };
    for (const auto& c : cases) {
        std::string line = c.Line;
        EXPECT_EQ(app::nextToken(line, c.separator), c.token) << c.Line;
        EXPECT_EQ(line, c.rest) << c.Line;
    }
}

TEST(nextToken, SplitsALogLineIntoItsTwoNumbersAndDropsTheRest) {
    std::string line = "2000        10000000,5   extra words";
    EXPECT_EQ(app::nextToken(line), "2000");
    EXPECT_EQ(app::nextToken(line), "10000000,5");
    EXPECT_EQ(line, "   extra words");
}

TEST(trimLeading, DropsBlanksTabsNulsAndTheSeparator) {
    EXPECT_EQ(app::trimLeading(" \t\0;x y"s, ';'), "x y");
    EXPECT_EQ(app::trimLeading(";x", ' '), ";x");
    EXPECT_EQ(app::trimLeading(" \t", ' '), "");
    EXPECT_EQ(app::trimLeading("x ", ' '), "x ");
}

TEST(replaceChar, ReplacesEveryOccurrence) {
    EXPECT_EQ(app::replaceChar("10000000,5", ',', '.'), "10000000.5");
    EXPECT_EQ(app::replaceChar(",1,,2,", ',', '.'), ".1..2.");
    EXPECT_EQ(app::replaceChar("10000000.5", ',', '.'), "10000000.5");
    EXPECT_EQ(app::replaceChar("", ',', '.'), "");
}

} // namespace
