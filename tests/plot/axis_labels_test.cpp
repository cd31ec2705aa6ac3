// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_labels.h"
#include "plot/fixed_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace plot {

namespace {

TEST(FixedText, WritesExactlyTheDecimalsAskedForWithoutLocale) {
    struct Case {
        long double v;
        int decimals;
        const char* want;
    } cases[] = {
        {25000010, 0, "25000010"}, {0.2, 1, "0.2"},  {-0.8, 1, "-0.8"}, {0.01, 3, "0.010"},
        {-1e-17, 1, "0.0"},        {-0.001, 0, "0"}, {3, -2, "3"},      {1234.5678, 2, "1234.57"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fixedText(c.v, c.decimals), c.want) << c.want;
}

TEST(FixedText, IgnoresACommaLocale) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma locale installed";
    const std::string text = fixedText(0.25L, 2);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(text, "0.25");
}

TEST(ExponentLetter, FollowsTheSymbolExponentSetting) {
    EXPECT_EQ(exponentLetter(0), 'E');
    EXPECT_EQ(exponentLetter(-1), 'E');
    EXPECT_EQ(exponentLetter(1), 'e');
}

TEST(FormatGeneralLabel, ChoosesNotationByDecimals) {
    const LabelFormat upper;
    LabelFormat lower;
    lower.exponentLetter = 'e';
    struct Case {
        const LabelFormat* format;
        int decimals;
        double v;
        const char* want;
    } cases[] = {
        {&upper, -3, 25000, "25E3"},
        {&upper, -3, 5000, "5E3"},
        {&upper, -3, 10000, "10E3"},
        {&upper, -4, 120000, "12E4"},
        {&upper, -2, 500, "500"},
        {&upper, -2, 1000, "1000"},
        {&upper, 0, 24999995, "24999995"},
        {&upper, 0, -3, "-3"},
        {&upper, 3, 0, "0"},
        {&upper, 1, 0.2, "0.2"},
        {&upper, 1, -0.4, "-0.4"},
        {&upper, 3, 0.002, "2E-3"},
        {&upper, 3, 0.004, "4E-3"},
        {&upper, 3, 0.006, "6E-3"},
        {&upper, 3, 0.008, "8E-3"},
        {&upper, 3, 0.010, "0.010"},
        {&upper, 3, -0.004, "-4E-3"},
        {&upper, 4, 0.0025, "2.5E-3"},
        {&upper, 3, 0.0095, "10E-3"},
        {&upper, 3, 0.001, "1E-3"},
        {&lower, 3, 0.004, "4e-3"},
        {&lower, -3, 25000, "25e3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatGeneralLabel(*c.format, c.decimals, c.v), c.want)
            << c.decimals << " " << c.v;
}

TEST(SetCommonFactor, DecodesScaleDecimalsAndSuffix) {
    struct Case {
        double code;
        char letter;
        double wantFactor;
        int wantDecimals;
        const char* wantSuffix;
        double label;
        const char* wantLabel;
    } cases[] = {
        {3.2, 'E', 1e-3, 2, "E3", 25000, "25.00E3"},  {3.2f, 'E', 1e-3, 2, "E3", 1500, "1.50E3"},
        {-6.1, 'E', 1e6, 1, "E-6", 2.5e-6, "2.5E-6"}, {-6.1f, 'e', 1e6, 1, "e-6", 2.5e-6, "2.5e-6"},
        {3, 'e', 1e-3, 0, "e3", 25000, "25e3"},
    };
    for (const auto& c : cases) {
        LabelFormat format;
        format.exponentLetter = c.letter;
        setCommonFactor(format, c.code);
        EXPECT_DOUBLE_EQ(format.commonFactor, c.wantFactor) << c.code;
        EXPECT_EQ(format.commonFactorDecimals, c.wantDecimals) << c.code;
        EXPECT_EQ(format.commonFactorSuffix, c.wantSuffix) << c.code;
        EXPECT_EQ(formatGeneralLabel(format, -3, c.label), c.wantLabel) << c.code;
    }
    LabelFormat format;
    setCommonFactor(format, 3.2);
    setCommonFactor(format, 0);
    EXPECT_EQ(format.commonFactor, 0);
    EXPECT_EQ(format.commonFactorSuffix, "");
    EXPECT_EQ(formatGeneralLabel(format, -3, 25000), "25E3");
}

TEST(FormatFixedLabel, NeverUsesNegativeDecimals) {
    EXPECT_EQ(formatFixedLabel(-3, 25000), "25000");
    EXPECT_EQ(formatFixedLabel(2, 0.5), "0.50");
}

TEST(DecadeLabel, ReplacesTheFirstOneByTheDigit) {
    struct Case {
        int exponent, digit;
        char letter;
        const char* want;
    } cases[] = {
        {2, 5, 'E', "500"},   {-2, 2, 'E', "0.02"}, {6, 2, 'E', "2E6"},  {6, 2, 'e', "2e6"},
        {0, 1, 'E', "1"},     {1, 3, 'E', "30"},    {3, 1, 'E', "1000"}, {-1, 8, 'E', "0.8"},
        {-3, 5, 'E', "5E-3"}, {11, 4, 'E', "4E11"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decadeLabel(c.exponent, c.digit, c.letter), c.want)
            << c.exponent << " " << c.digit;
}

TEST(LinearTickLabel, AppliesZeroRuleSuffixAndZeroSuppression) {
    const LabelFormat format;
    LinearLabelStyle fixed;
    fixed.fixedFormat = true;
    LinearLabelStyle suffixed;
    suffixed.unitSuffix = "s";
    LinearLabelStyle blank;
    blank.suppressZero = true;
    EXPECT_EQ(linearTickLabel(format, {}, 1, 0.2, 2.7e-17), "0");
    EXPECT_EQ(linearTickLabel(format, fixed, 1, 0.2, 2.7e-17), "0.0");
    EXPECT_EQ(linearTickLabel(format, suffixed, 0, 2, 4), "4s");
    EXPECT_EQ(linearTickLabel(format, blank, 1, 0.2, -2.7e-17), "");
    EXPECT_EQ(linearTickLabel(format, blank, 1, 0.2, 0.2), "0.2");
    EXPECT_EQ(applyZeroRule(0.09, 0.2), 0.0);
    EXPECT_EQ(applyZeroRule(0.1, 0.2), 0.1);
}

} // namespace

} // namespace plot
