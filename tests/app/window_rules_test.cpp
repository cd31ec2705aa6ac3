// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/axis_units.h"
#include "app/page_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(AxisUnits, CaptionsOnlyForExactDivisors) {
    const struct {
        double divisor;
        std::optional<std::string> time;
        std::optional<std::string> frequency;
    } cases[] = {
        {1, "Time/s", "Frequency/Hz"},
        {60, "Time/min", std::nullopt},
        {3600, "Time/h", std::nullopt},
        {1000, std::nullopt, "Frequency/kHz"},
        {1e6, std::nullopt, "Frequency/MHz"},
        {1e9, std::nullopt, "Frequency/GHz"},
        {30, std::nullopt, std::nullopt},
        {500, std::nullopt, std::nullopt},
        {60.000000001, std::nullopt, std::nullopt},
        {0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app::timeAxisCaption(c.divisor), c.time) << c.divisor;
        EXPECT_EQ(app::frequencyAxisCaption(c.divisor), c.frequency) << c.divisor;
    }
}

TEST(AxisUnits, ScaleFactorIsTheInverseUnlessThatFails) {
    EXPECT_EQ(app::axisScaleFactor(1), 1.0);
    EXPECT_EQ(app::axisScaleFactor(60), 1.0 / 60);
    EXPECT_EQ(app::axisScaleFactor(30), 1.0 / 30);
    EXPECT_EQ(app::axisScaleFactor(1e6), 1e-6);
    EXPECT_EQ(app::axisScaleFactor(0), std::nullopt);
    EXPECT_EQ(app::axisScaleFactor(-0.0), std::nullopt);
    EXPECT_EQ(app::axisScaleFactor(1e-310), std::nullopt);
}

// A font whose 18 digits are 10 px per point wide and whose "1" is 2 px per point high.
app::TextExtent linearFont(int pointSize, const std::string& text) {
    const int perDigit = text.size() == 18 ? 10 : 0;
    return {perDigit * pointSize, 2 * pointSize};
}

constexpr app::BottomRow kDesignRow{33, 24, 17};

TEST(PageLayout, PlacesTheControlsOfEveryPage) {
    const app::ConnectPageLayout connect = app::connectPageLayout(500, kDesignRow);
    EXPECT_EQ(connect.buttonTop, 463);   // 500 - 33 - 4
    EXPECT_EQ(connect.selectorTop, 467); // 463 + 9 div 2
    EXPECT_EQ(connect.logHeight, 459);   // 463 - 4
    EXPECT_EQ(connect.checkBoxTop, 470); // 467 + 7 div 2
    const app::CommandsPageLayout commands = app::commandsPageLayout(1140, 500, kDesignRow, 16, 60);
    EXPECT_EQ(commands.replyListHeight, 459);
    EXPECT_EQ(commands.labelTop, 470); // 470 + 1 div 2
    EXPECT_EQ(commands.editTop, 467);
    EXPECT_EQ(commands.editWidth, 1080);
    // S0 = 1140 div 20 = 57; T = 570; size = 57 * 1140 div 570 = 114.
    const app::DisplayPageLayout display = app::displayPageLayout(1140, 500, linearFont);
    EXPECT_EQ(display.fontSize, 114);
    EXPECT_EQ(display.top, 136); // (500 - 228) div 2
    EXPECT_EQ(display.left, 28); // 570 div 20
}

TEST(PageLayout, HalvesRoundTowardZero) {
    const app::BottomRow row{33, 36, 41}; // (33 - 36) div 2 = -1; (36 - 41) div 2 = -2
    const app::ConnectPageLayout connect = app::connectPageLayout(20, row);
    EXPECT_EQ(connect.buttonTop, -17);
    EXPECT_EQ(connect.selectorTop, -18);
    EXPECT_EQ(connect.checkBoxTop, -20);
    EXPECT_EQ(app::displayPageLayout(1140, 5, linearFont).top, -111); // (5 - 228) div 2
}

TEST(PageLayout, ATinyDisplayPageStillGetsAFont) {
    for (int width : {0, 5, 19}) {
        EXPECT_EQ(app::displayPageLayout(width, 500, linearFont).fontSize, 1) << width;
    }
    const auto noWidth = [](int, const std::string&) { return app::TextExtent{}; };
    EXPECT_EQ(app::displayPageLayout(400, 500, noWidth).fontSize, 20); // no width to scale by
}

} // namespace
