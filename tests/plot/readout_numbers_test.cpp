// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/readout_numbers.h"

#include <gtest/gtest.h>

namespace plot {

namespace {

struct SignificantCase {
    int n;
    double v;
    const char* text;
};

TEST(FormatSignificant, ExamplesOfBothForms) {
    const SignificantCase cases[] = {
        {3, 0.005, "5.00E-3"},    {3, 12345.6, "1.23E4"},
        {3, 1234.5, "1230"},      {3, 0, "0"},
        {3, -0.005, "-5.00E-3"},  {3, -12345.6, "-1.23E4"},
        {3, 0.05, "0.0500"},      {3, 12.345, "12.3"},
        {3, 5, "5.00"},           {3, 0.29, "0.290"},
        {2, 0.0029, "2.9E-3"},    {3, 0.00999999, "9.99E-3"},
        {4, 123456.0, "1.234E5"}, {3, 999.6, "1000"},
        {1, 0.005, "5.E-3"},      {0, 5, "5"},
        {-3, 12.5, "10"},         {3, 1e-300, "1.00E-300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatSignificant(c.n, c.v), c.text) << c.n << " digits of " << c.v;
    }
}

TEST(FormatSignificant, LowerCaseExponentSymbol) {
    EXPECT_EQ(formatSignificant(3, 0.005, true), "5.00e-3");
    EXPECT_EQ(formatSignificant(3, 12345.6, true), "1.23e4");
}

struct StepCase {
    double v;
    double step;
    double rounded;
};

TEST(RoundToStep, HalvesGoAwayFromZero) {
    const StepCase cases[] = {
        {2.5, 1, 3},       {-2.5, 1, -3},      {2.4, 1, 2},    {-2.4, 1, -2},
        {7, 5, 5},         {7.5, 5, 10},       {-7.5, 5, -10}, {0.26, 0.1, 0.3},
        {123.4, 0, 123.4}, {123.4, -5, 123.4}, {0, 2, 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(roundToStep(c.v, c.step), c.rounded) << c.v << " step " << c.step;
    }
}

struct FixedCase {
    double v;
    int d;
    const char* text;
};

TEST(FormatFixed, ExactDecimalsWithAPoint) {
    const FixedCase cases[] = {
        {1.23456, 2, "1.23"}, {5, 0, "5"},         {-1.5, 1, "-1.5"},
        {0.1, 3, "0.100"},    {1234, -2, "1200"},  {1250, -2, "1300"},
        {-1234, -1, "-1230"}, {-0.001, 2, "0.00"}, {25000000.4, 0, "25000000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatFixed(c.v, c.d), c.text) << c.v << " with " << c.d << " decimals";
    }
}

} // namespace

} // namespace plot
