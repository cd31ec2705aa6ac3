#include "graph/auto_range.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

struct RangeCase {
    const char* Name;
    std::vector<double> Values;
    double Lower;
    double Upper;
};

class AutoRangeTable : public ::testing::TestWithParam<RangeCase> {};

TEST_P(AutoRangeTable, WidensTheSpanOfTheValues) {
    const RangeCase& c = GetParam();
    const TAxisRange r = AutoRange(c.Values, 0.05);
    EXPECT_DOUBLE_EQ(r.Lower, c.Lower);
    EXPECT_DOUBLE_EQ(r.Upper, c.Upper);
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoRangeTable,
    ::testing::Values(RangeCase{"SingleX", {2}, 1.9, 2.1}, RangeCase{"SingleY", {5}, 4.75, 5.25},
                      RangeCase{"TenAndTwenty", {10, 20}, 9.5, 20.5},
                      RangeCase{"AllMinusTen", {-10, -10, -10}, -10.5, -9.5},
                      RangeCase{"AllZero", {0, 0, 0}, -1, 1}, RangeCase{"NoValues", {}, -1, 1},
                      RangeCase{"UnorderedSpan", {3, -1, 7, 2}, -1.4, 7.4},
                      RangeCase{"MinutesOfSeconds", {60.0 / 60, 120.0 / 60}, 0.95, 2.05},
                      RangeCase{"HugeEqualValues", {2e30, 2e30}, 1.9e30, 2.1e30},
                      RangeCase{"NonFiniteLeftOut", {NaN, 10, Inf, 20, -Inf}, 9.5, 20.5},
                      RangeCase{"OnlyNonFinite", {NaN, Inf}, -1, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Extremes, ScaledEndsMatchScaledValues) {
    const std::vector<double> values{-3.5, 12.25, 0.0, 7.0, -1e-9};
    for (double factor : {1.0, 1.0 / 60, 1e-6, -2.0, 0.0}) {
        TExtremes raw;
        TExtremes scanned;
        for (double v : values) {
            raw.Include(v);
            scanned.Include(v * factor);
        }
        const TExtremes scaled = raw.Scaled(factor);
        ASSERT_TRUE(scaled.Any);
        EXPECT_EQ(scaled.Lower, scanned.Lower) << "factor " << factor;
        EXPECT_EQ(scaled.Upper, scanned.Upper) << "factor " << factor;
    }
}

TEST(Extremes, MergingKeepsTheOuterEnds) {
    TExtremes a;
    a.Include(5);
    a.Include(8);
    TExtremes b;
    b.Include(-2);
    TExtremes empty;
    a.Include(empty);
    EXPECT_EQ(a.Lower, 5);
    a.Include(b);
    EXPECT_EQ(a.Lower, -2);
    EXPECT_EQ(a.Upper, 8);
    EXPECT_FALSE(empty.Scaled(3).Any);
}

} // namespace
