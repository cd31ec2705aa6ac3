// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_labels.h"
#include "plot/extended_rounding.h"
#include "plot/log_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace plot {

namespace {

TEST(LogFinenessLevel, StepsAtTheDensityThresholds) {
    struct Case {
        int pixels;
        double fineness, ratio;
        int fontPoints, want;
    } cases[] = {
        {500, 1, 10, 8, 224},  {500, 1, 100, 8, 123}, {500, 1, 1e3, 8, 123}, {500, 1, 1e4, 8, 112},
        {500, 1, 1e10, 8, 12}, {500, 1, 1e50, 8, 1},  {500, 1, 1e100, 8, 0}, {500, 1, 10, 16, 123},
        {400, 0.2, 10, 8, 12}, {400, 1, 10, 8, 224},  {250, 1, 10, 8, 123},  {101, 1, 10, 8, 112},
        {40, 1, 10, 8, 1},     {7, 1, 10, 8, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(logFinenessLevel(c.pixels, c.fineness, c.ratio, c.fontPoints), c.want)
            << c.pixels << " " << c.fineness << " " << c.ratio << " " << c.fontPoints;
}

TEST(LogSubdivisionRow, HoldsTheMantissaCodes) {
    EXPECT_EQ(logSubdivisionRow(0).size(), 1u);
    EXPECT_EQ(logSubdivisionRow(1).size(), 3u);
    EXPECT_EQ(logSubdivisionRow(2).size(), 9u);
    EXPECT_EQ(logSubdivisionRow(3).size(), 16u);
    EXPECT_EQ(logSubdivisionRow(4).size(), 35u);
    EXPECT_TRUE(inLogSubdivisionRow(3, 25));
    EXPECT_FALSE(inLogSubdivisionRow(2, 25));
    EXPECT_TRUE(inLogSubdivisionRow(4, 95));
    EXPECT_FALSE(inLogSubdivisionRow(4, 21));
    EXPECT_TRUE(inLogSubdivisionRow(4, 22));
}

struct Walked {
    std::vector<std::string> labels;
    int ticks = 0;
    int longTicks = 0;
};

Walked walk(double from, double to, int length, int level, bool xAxis) {
    const double span = std::log(to / from);
    Walked walked;
    walkLogTicks(
        from, to, length, level, xAxis,
        [&](double v) { return roundToInt(std::log(v / from) / span * length); },
        [&](const LogTick& tick) {
            ++walked.ticks;
            walked.longTicks += tick.isLong;
            if (tick.labelled)
                walked.labels.push_back(decadeLabel(tick.exponent, tick.digit, 'E'));
        });
    return walked;
}

using Labels = std::vector<std::string>;

TEST(WalkLogTicks, XAxisSkipsSevenAndNineYAxisLabelsThem) {
    const auto x = walk(1, 10, 500, 224, true);
    EXPECT_EQ(x.labels, (Labels{"1", "2", "3", "4", "5", "6", "8", "10"}));
    EXPECT_EQ(x.ticks, 36); // the 35 codes of row 4 and the 10 of the next decade
    EXPECT_EQ(x.longTicks, 10);
    const auto y = walk(1, 10, 500, 224, false);
    EXPECT_EQ(y.labels, (Labels{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
}

TEST(WalkLogTicks, CoarseLevelsLabelDecadesOnly) {
    EXPECT_EQ(walk(0.01, 1000, 400, 12, true).labels,
              (Labels{"0.01", "0.1", "1", "10", "100", "1000"}));
    EXPECT_EQ(walk(3, 3e6, 300, 112, true).labels,
              (Labels{"5", "10", "20", "50", "100", "200", "500", "1000", "2000", "5000", "1E4",
                      "2E4", "5E4", "1E5", "2E5", "5E5", "1E6", "2E6"}));
}

TEST(WalkLogTicks, DecreasingAxisWalksFromItsFarEnd) {
    const auto walked = walk(100, 1, 400, 12, false);
    EXPECT_EQ(walked.labels, (Labels{"1", "10", "100"}));
    EXPECT_EQ(walked.longTicks, 7); // 1, 2, 5, 10, 20, 50, 100
}

} // namespace

} // namespace plot
