// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/group_digits.h"

#include <gtest/gtest.h>

namespace {

TEST(GroupDigits, GroupsOfThreeOutwardFromThePoint) {
    const std::pair<const char*, const char*> cases[] = {
        {"10000000.000", "10 000 000.000 "},
        {"123456.7", " 123 456.7"},
        {"1234", "1 234"},
        {"0.1234", "0.123 4"},
        {"5", "5"},
        {"", ""},
        {"  10.000000", " \x20 10.000 000 "},
        {"-123", "- 123"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(app::groupDigits(in), out) << '"' << in << '"';
    }
}

} // namespace
