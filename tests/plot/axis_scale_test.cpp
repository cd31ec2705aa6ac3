// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_labels.h"
#include "plot/extended_rounding.h"
#include "plot/tick_steps.h"
#include "plot/tick_walk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace plot {

namespace {

TEST(Rounding, TiesGoToEvenTruncAndIntCutTowardsZero) {
    EXPECT_EQ(roundEven(1.5L), 2);
    EXPECT_EQ(roundEven(2.5L), 2);
    EXPECT_EQ(roundEven(-0.5L), 0);
    EXPECT_EQ(roundEven(-1.5L), -2);
    EXPECT_EQ(trunc(-1.7L), -1);
    EXPECT_EQ(intPart(-0.3L), 0.0L);
    EXPECT_FALSE(std::signbit(intPart(-0.3L)));
    EXPECT_EQ(roundToInt(1e30L), 2147483647);
    EXPECT_EQ(roundToInt(-1e30L), -2147483647 - 1);
}

TEST(TickLengths, FollowTheDigitWidthWithTiesToEven) {
    const double minorDefault = 0.6f; // settings are held in single precision
    struct Case {
        int charWidth;
        double major, minor;
        int wantMajor, wantMinor;
    } cases[] = {
        {7, 1, minorDefault, 8, 5}, {6, 1, minorDefault, 6, 4}, {8, 1, minorDefault, 8, 5},
        {7, 0, minorDefault, 0, 0}, {7, 2, 1, 14, 14},
    };
    for (const auto& c : cases) {
        const auto got = tickLengths(c.charWidth, c.major, c.minor);
        EXPECT_EQ(got.major, c.wantMajor) << c.charWidth << " " << c.major;
        EXPECT_EQ(got.minor, c.wantMinor) << c.charWidth << " " << c.major;
    }
}

TEST(LabelPitch, AddsTheSuffixWidthToTheRoundedDistance) {
    EXPECT_EQ(labelPitch(7, 8), 56);
    EXPECT_EQ(labelPitch(7, 5), 35);
    EXPECT_EQ(labelPitch(7, 8, 6), 62);
    EXPECT_EQ(labelPitch(5, 2.5), 12);
    EXPECT_EQ(labelPitch(14, 2), 28);
}

struct StepCase {
    const char* name;
    double low, high, minimumStep;
    int pixels, pitch;
    double wantMajor, wantMinor;
    int wantDecimals;
    double wantMinimumStep;
};

TEST(ChooseTickSteps, PicksOneTwoFiveStepsAsTheExamplesShow) {
    const StepCase cases[] = {
        {"0..1, n 5: just below 2 goes finer", 0, 1, 0, 500, 100, 0.2, 0.05, 1, 0},
        {"frequency, n 10", 24999990, 25000010, 0, 100, 10, 2, 0.5, 0, 0},
        {"frequency, n 8", 24999990, 25000010, 0, 224, 28, 5, 1, 0, 0},
        {"0..1, n 2", 0, 1, 0, 200, 100, 0.5, 0.1, 1, 0},
        {"0..1, n 2, minimum 0.3", 0, 1, 0.3, 200, 100, 1.0, 0.2, 1, 0.2},
        {"minimum 0.03 rounds to 0.02", 0, 1, 0.03, 500, 100, 0.2, 0.05, 1, 0.02},
        {"minimum 1.5 rounds to 2", 0, 1, 1.5, 500, 100, 2, 2, 1, 2},
        {"minimum 45 rounds to 50", 0, 100, 45, 500, 100, 50, 50, -1, 50},
        {"negative minimum is none", 0, 1, -4, 500, 100, 0.2, 0.05, 1, 0},
        {"0..10 over 500 pixels", 0, 10, 0, 500, 56, 2, 0.5, 0, 0},
        {"0..10 over 100 pixels", 0, 10, 0, 100, 56, 10, 2, -1, 0},
        {"reversed ends", 1, 0, 0, 500, 100, 0.2, 0.05, 1, 0},
        {"no tick lands: finer passes", 0.5, 9.5, 0, 100, 100, 2, 0.5, 0, 0},
        {"pitch wider than the axis", 0, 1, 0, 50, 100, 1, 0.2, 0, 0},
        {"tiny range", 1e-9, 3e-9, 0, 400, 100, 5e-10, 1e-10, 10, 0},
    };
    for (const auto& c : cases) {
        double low = c.low, high = c.high, minimumStep = c.minimumStep;
        const auto steps = chooseTickSteps(low, high, minimumStep, c.pixels, c.pitch, 0);
        EXPECT_DOUBLE_EQ(steps.major, c.wantMajor) << c.name;
        EXPECT_DOUBLE_EQ(steps.minor, c.wantMinor) << c.name;
        EXPECT_EQ(steps.decimals, c.wantDecimals) << c.name;
        EXPECT_DOUBLE_EQ(minimumStep, c.wantMinimumStep) << c.name;
        EXPECT_EQ(low, std::min(c.low, c.high)) << c.name;
        EXPECT_EQ(high, std::max(c.low, c.high)) << c.name;
    }
}

TEST(ChooseTickSteps, ExtendModesMoveBareEndsOntoTicks) {
    struct Case {
        double low, high;
        int mode;
        double wantLow, wantHigh;
    } cases[] = {
        {0.5, 9.5, 0, 0.5, 9.5}, {0.5, 9.5, 1, 0.4, 9.6}, {0.5, 9.5, 2, 0, 10},
        {0, 9.5, 2, 0, 10},      {0, 9.6, 1, 0, 9.6},     {-9.5, -0.5, 2, -10, 0},
        {0.5, 9.5, 3, 0.5, 9.5},
    };
    for (const auto& c : cases) {
        double low = c.low, high = c.high, minimumStep = 0;
        const auto steps = chooseTickSteps(low, high, minimumStep, 100, 10, c.mode);
        EXPECT_DOUBLE_EQ(steps.major, 1) << c.low << ".." << c.high << " mode " << c.mode;
        EXPECT_DOUBLE_EQ(low, c.wantLow) << c.low << ".." << c.high << " mode " << c.mode;
        EXPECT_DOUBLE_EQ(high, c.wantHigh) << c.low << ".." << c.high << " mode " << c.mode;
    }
}

TEST(ChooseTickSteps, ReturnsOnARangeTooNarrowForItsMagnitude) {
    double low = 1e17, high = 1e17 + 16, minimumStep = 0;
    const auto steps = chooseTickSteps(low, high, minimumStep, 500, 10, 2);
    EXPECT_GT(steps.major, 0);
    EXPECT_GT(steps.minor, 0);
}

TEST(RoundToStep, MovesEndsOutwardAndNegativesOnAMultipleOneMore) {
    struct Case {
        double step, v, wantDown, wantUp;
    } cases[] = {
        {1, -2, -3, -2},
        {1, 2, 2, 3},
        {1, 0, 0, 0},
        {1, 2.5, 2, 3},
        {1, -2.5, -3, -2},
        {0.2, 0.5, 0.4, 0.6},
        {5, 24999993, 24999990, 24999995},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(roundDownToStep(c.step, c.v), c.wantDown) << c.step << " " << c.v;
        EXPECT_DOUBLE_EQ(roundUpToStep(c.step, c.v), c.wantUp) << c.step << " " << c.v;
    }
}

TEST(DecimalsFor, CountsDecimalsAndTreatsAHairBelowAPowerOfTenAsIt) {
    struct Case {
        double v;
        int want;
    } cases[] = {
        {0.1, 1}, {0.05, 2},  {0.01, 2},      {0.005, 3},   {1, 0},   {20, -1}, {1000, -3},
        {0, 99},  {-0.05, 2}, {0.0999999, 1}, {9.9999, -1}, {0.2, 1}, {2.5, 0}, {0.04, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decimalsFor(c.v), c.want) << c.v;
}

// Labels of a whole axis: steps chosen, ticks walked with a linear pixel mapping, labels made.
std::vector<std::string> axisLabels(double low, double high, int pixels, int pitch,
                                    const LinearLabelStyle& style, LabelFormat format = {}) {
    double minimumStep = 0;
    const auto steps = chooseTickSteps(low, high, minimumStep, pixels, pitch, 0);
    std::vector<std::string> labels;
    walkLinearTicks(
        low, steps.major, steps.minor, pixels,
        [&](double v) { return roundToInt((v - low) / (high - low) * pixels); },
        [&](const LinearTick& tick) {
            if (tick.major)
                labels.push_back(
                    linearTickLabel(format, style, steps.decimals, steps.major, tick.value));
        });
    return labels;
}

using Labels = std::vector<std::string>;

TEST(LinearAxisLabels, WholeAxesComeOutAsTheExamplesShow) {
    const LinearLabelStyle general;
    LinearLabelStyle fixed;
    fixed.fixedFormat = true;
    EXPECT_EQ(axisLabels(0, 10, 500, 56, general), (Labels{"0", "2", "4", "6", "8", "10"}));
    EXPECT_EQ(axisLabels(0, 10, 100, 56, general), (Labels{"0", "10"}));
    EXPECT_EQ(axisLabels(24999990, 25000010, 224, 28, general),
              (Labels{"24999990", "24999995", "25000000", "25000005", "25000010"}));
    EXPECT_EQ(
        axisLabels(-1, 1, 1000, 100, general),
        (Labels{"-1.0", "-0.8", "-0.6", "-0.4", "-0.2", "0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    EXPECT_EQ(
        axisLabels(-1, 1, 1000, 100, fixed),
        (Labels{"-1.0", "-0.8", "-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));
    EXPECT_EQ(axisLabels(0, 20000, 400, 100, general),
              (Labels{"0", "5E3", "10E3", "15E3", "20E3"}));
    EXPECT_EQ(axisLabels(0, 1000, 200, 100, general), (Labels{"0", "500", "1000"}));
    EXPECT_EQ(axisLabels(0, 0.01, 500, 100, general),
              (Labels{"0", "2E-3", "4E-3", "6E-3", "8E-3", "0.010"}));
}

TEST(LinearAxisLabels, UnitSuffixFollowsEveryLabelAndZeroCanBeBlanked) {
    LinearLabelStyle style;
    style.unitSuffix = "s";
    EXPECT_EQ(axisLabels(0, 10, 100, 56, style), (Labels{"0s", "10s"}));
    style.suppressZero = true;
    EXPECT_EQ(axisLabels(-1, 1, 200, 100, style), (Labels{"-1s", "", "1s"}));
}

} // namespace

} // namespace plot
