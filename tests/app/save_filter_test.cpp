// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/save_filter.h"

#include <gtest/gtest.h>

namespace {

using app::SaveFilterChoice;

TEST(SaveFilter, PairsOfCaptionAndPattern) {
    EXPECT_EQ(app::parseSaveFilter("data file (*.dat)|*.dat|csv file (*.csv)|*.csv"),
              (std::vector<SaveFilterChoice>{{"data file (*.dat)", "*.dat"},
                                             {"csv file (*.csv)", "*.csv"}}));
    EXPECT_EQ(app::parseSaveFilter("all|*.*|dangling"),
              (std::vector<SaveFilterChoice>{{"all", "*.*"}}));
    EXPECT_TRUE(app::parseSaveFilter("").empty());
}

TEST(SaveFilter, suffixOfPattern) {
    const std::pair<const char*, const char*> cases[] = {
        {"*.dat", "dat"}, {"*.csv", "csv"}, {"*.*", ""}, {"*.d?t", ""}, {"*", ""}, {"", ""}};
    for (const auto& [pattern, suffix] : cases) {
        EXPECT_EQ(app::suffixOfPattern(pattern), suffix) << pattern;
    }
}

} // namespace
