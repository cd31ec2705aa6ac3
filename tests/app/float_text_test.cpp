// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/log_line.h"
#include "recording/float_text.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

struct FloatCase {
    double value;
    const char* Point;
    const char* comma;
};

class FloatToStrTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToStrTest, GeneralFormatWithFifteenDigits) {
    const FloatCase& c = GetParam();
    EXPECT_EQ(recording::floatToStr(c.value, '.'), c.Point);
    EXPECT_EQ(recording::floatToStr(c.value, ','), c.comma);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Values, FloatToStrTest,
    ::testing::Values(
        FloatCase{0, "0", "0"}, FloatCase{1, "1", "1"}, FloatCase{-1, "-1", "-1"},
        FloatCase{2000, "2000", "2000"}, FloatCase{2.5, "2.5", "2,5"},
        FloatCase{10000000.5, "10000000.5", "10000000,5"},
        FloatCase{12345.678, "12345.678", "12345,678"},
        FloatCase{0.1 + 0.2, "0.3", "0,3"}, // rounded to 15 digits, trailing zeros dropped
        FloatCase{1.0 / 3, "0.333333333333333", "0,333333333333333"},
        FloatCase{2.0 / 3, "0.666666666666667", "0,666666666666667"},
        FloatCase{-2.0 / 3, "-0.666666666666667", "-0,666666666666667"},
        FloatCase{0.0001, "0.0001", "0,0001"},
        // The smallest magnitude in fixed form, and what rounds up to it.
        FloatCase{0.00001, "0.00001", "0,00001"}, FloatCase{0.000015, "0.000015", "0,000015"},
        FloatCase{9.9999999999999999e-6, "0.00001", "0,00001"},
        FloatCase{9.9e-6, "9.9E-6", "9,9E-6"}, FloatCase{1.5e-6, "1.5E-6", "1,5E-6"},
        FloatCase{-1.5e-6, "-1.5E-6", "-1,5E-6"}, FloatCase{1e-6, "1E-6", "1E-6"},
        FloatCase{1.23456789012345678e-10, "1.23456789012346E-10", "1,23456789012346E-10"},
        // Fifteen integer digits stay fixed; sixteen (also by rounding) go scientific.
        FloatCase{123456789012345, "123456789012345", "123456789012345"},
        FloatCase{1e14, "100000000000000", "100000000000000"},
        FloatCase{1234567890123456, "1.23456789012346E15", "1,23456789012346E15"},
        FloatCase{999999999999999.9, "1E15", "1E15"}, FloatCase{1e15, "1E15", "1E15"},
        FloatCase{-1e20, "-1E20", "-1E20"},
        FloatCase{1.7976931348623157e308, "1.79769313486232E308", "1,79769313486232E308"},
        FloatCase{5e-324, "4.94065645841247E-324", "4,94065645841247E-324"},
        FloatCase{kInf, "INF", "INF"}, FloatCase{-kInf, "-INF", "-INF"},
        FloatCase{std::numeric_limits<double>::quiet_NaN(), "NAN", "NAN"}));

TEST(logLine, TimeStampEightBlanksValue) {
    EXPECT_EQ(app::logLine(15234, 10000000.5, '.'), "15234        10000000.5");
    EXPECT_EQ(app::logLine(2000, 10000000.5, ','), "2000        10000000,5");
    EXPECT_EQ(app::logLine(2000, 1.5e-6, '.'), "2000        1.5E-6");
    EXPECT_EQ(app::logLine(0, 0, '.'), "0        0");
}

TEST(elapsedMs, WholeMillisecondsHalvesToEven) {
    // m / 2048 days is exactly 42187.5 * m ms, so the halves are exact.
    const struct {
        double days;
        double ms;
    } cases[] = {
        {0, 0},
        {2.0 / 86400, 2000},
        {1.0, 86400000},
        {1.0 / 2048, 42188},  // 42187.5 -> even neighbour above
        {3.0 / 2048, 126562}, // 126562.5 -> even neighbour below
        {-1.0 / 2048, -42188},
        {0.4 / 86400000, 0},
        {0.6 / 86400000, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::elapsedMs(c.days), c.ms) << c.days;
    }
}

} // namespace
