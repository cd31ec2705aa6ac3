#include "app/formats/save_filter.h"

#include <gtest/gtest.h>

namespace {

using app::TSaveFilterChoice;

TEST(SaveFilter, PairsOfCaptionAndPattern) {
    EXPECT_EQ(app::ParseSaveFilter("data file (*.dat)|*.dat|csv file (*.csv)|*.csv"),
              (std::vector<TSaveFilterChoice>{{"data file (*.dat)", "*.dat"},
                                              {"csv file (*.csv)", "*.csv"}}));
    EXPECT_EQ(app::ParseSaveFilter("all|*.*|dangling"),
              (std::vector<TSaveFilterChoice>{{"all", "*.*"}}));
    EXPECT_TRUE(app::ParseSaveFilter("").empty());
}

TEST(SaveFilter, SuffixOfPattern) {
    const std::pair<const char*, const char*> cases[] = {
        {"*.dat", "dat"}, {"*.csv", "csv"}, {"*.*", ""}, {"*.d?t", ""}, {"*", ""}, {"", ""}};
    for (const auto& [pattern, suffix] : cases) {
        EXPECT_EQ(app::SuffixOfPattern(pattern), suffix) << pattern;
    }
}

} // namespace
