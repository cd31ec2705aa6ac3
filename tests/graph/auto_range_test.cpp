// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/auto_range.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace graph {

namespace {

struct RangeCase {
    const char* name;
    std::vector<double> values;
    double lower;
    double upper;
};

class AutoRangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(AutoRangeTable, WidensTheSpanOfTheValues) {
    const RangeCase& c = GetParam();
    const AxisRange r = autoRange(c.values, 0.05);
    EXPECT_DOUBLE_EQ(r.lower, c.lower);
    EXPECT_DOUBLE_EQ(r.upper, c.upper);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoRangeTable,
    ::testing::Values(RangeCase{"SingleX", {2}, 1.9, 2.1}, RangeCase{"SingleY", {5}, 4.75, 5.25},
                      RangeCase{"TenAndTwenty", {10, 20}, 9.5, 20.5},
                      RangeCase{"AllMinusTen", {-10, -10, -10}, -10.5, -9.5},
                      RangeCase{"AllZero", {0, 0, 0}, -1, 1}, RangeCase{"NoValues", {}, -1, 1},
                      RangeCase{"UnorderedSpan", {3, -1, 7, 2}, -1.4, 7.4},
                      RangeCase{"MinutesOfSeconds", {60.0 / 60, 120.0 / 60}, 0.95, 2.05},
                      RangeCase{"HugeEqualValues", {2e30, 2e30}, 1.9e30, 2.1e30},
                      RangeCase{"NonFiniteLeftOut", {kNaN, 10, kInf, 20, -kInf}, 9.5, 20.5},
                      RangeCase{"OnlyNonFinite", {kNaN, kInf}, -1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Extremes, ScaledEndsMatchScaledValues) {
    const std::vector<double> values{-3.5, 12.25, 0.0, 7.0, -1e-9};
    for (double factor : {1.0, 1.0 / 60, 1e-6, -2.0, 0.0}) {
        Extremes raw;
        Extremes scanned;
        for (double v : values) {
            raw.include(v);
            scanned.include(v * factor);
        }
        const Extremes scaled = raw.scaled(factor);
        ASSERT_TRUE(scaled.any);
        EXPECT_EQ(scaled.lower, scanned.lower) << "factor " << factor;
        EXPECT_EQ(scaled.upper, scanned.upper) << "factor " << factor;
    }
}

TEST(Extremes, MergingKeepsTheOuterEnds) {
    Extremes a;
    a.include(5);
    a.include(8);
    Extremes b;
    b.include(-2);
    Extremes empty;
    a.include(empty);
    EXPECT_EQ(a.lower, 5);
    a.include(b);
    EXPECT_EQ(a.lower, -2);
    EXPECT_EQ(a.upper, 8);
    EXPECT_FALSE(empty.scaled(3).any);
}

} // namespace

} // namespace graph
