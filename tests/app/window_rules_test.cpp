#include "app/axis_units.h"
#include "app/resize_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(AxisUnits, CaptionsOnlyForExactDivisors) {
    const struct {
        double Divisor;
        std::optional<std::string> Time;
        std::optional<std::string> Frequency;
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
        EXPECT_EQ(app::TimeAxisCaption(c.Divisor), c.Time) << c.Divisor;
        EXPECT_EQ(app::FrequencyAxisCaption(c.Divisor), c.Frequency) << c.Divisor;
    }
}

TEST(AxisUnits, ScaleFactorIsTheInverseUnlessThatFails) {
    EXPECT_EQ(app::AxisScaleFactor(1), 1.0);
    EXPECT_EQ(app::AxisScaleFactor(60), 1.0 / 60);
    EXPECT_EQ(app::AxisScaleFactor(30), 1.0 / 30);
    EXPECT_EQ(app::AxisScaleFactor(1e6), 1e-6);
    EXPECT_EQ(app::AxisScaleFactor(0), std::nullopt);
    EXPECT_EQ(app::AxisScaleFactor(-0.0), std::nullopt);
    EXPECT_EQ(app::AxisScaleFactor(1e-310), std::nullopt);
}

// A font whose 18 digits are 10 px per point wide and whose "1" is 2 px per point high.
app::TTextExtent LinearFont(int pointSize, const std::string& text) {
    const int perDigit = text.size() == 18 ? 10 : 0;
    return {perDigit * pointSize, 2 * pointSize};
}

app::TResizeInput DesignSizes() {
    app::TResizeInput in;
    in.ConnectPageHeight = 500;
    in.BConnectHeight = 33;
    in.CComHeight = 24;
    in.CheckAutoHeight = 17;
    in.LCHeight = 16;
    in.LBCWidth = 1140;
    in.ECLeft = 60;
    in.DisplayPageWidth = 1140;
    in.DisplayPageHeight = 500;
    in.MeasureBigDigits = LinearFont;
    return in;
}

TEST(ResizeLayout, PlacesTheControlsOfEveryPage) {
    const app::TResizeLayout out = app::ComputeResizeLayout(DesignSizes());
    EXPECT_EQ(out.BConnectTop, 463);  // 500 - 33 - 4
    EXPECT_EQ(out.CComTop, 467);      // 463 + 9 div 2
    EXPECT_EQ(out.LBHeight, 459);     // 463 - 4
    EXPECT_EQ(out.CheckAutoTop, 470); // 467 + 7 div 2
    // S0 = 1140 div 20 = 57; T = 570; size = 57 * 1140 div 570 = 114.
    EXPECT_EQ(out.LFreqFontSize, 114);
    EXPECT_EQ(out.LFreqTop, 136); // (500 - 228) div 2
    EXPECT_EQ(out.LFreqLeft, 28); // 570 div 20
    EXPECT_EQ(out.LBCHeight, 459);
    EXPECT_EQ(out.LCTop, 470); // 470 + 1 div 2
    EXPECT_EQ(out.ECTop, 467);
    EXPECT_EQ(out.ECWidth, 1080);
}

TEST(ResizeLayout, HalvesRoundTowardZero) {
    app::TResizeInput in = DesignSizes();
    in.ConnectPageHeight = 20;
    in.CComHeight = 36;       // (33 - 36) div 2 = -1
    in.CheckAutoHeight = 41;  // (36 - 41) div 2 = -2
    in.DisplayPageHeight = 5; // (5 - 228) div 2 = -111
    const app::TResizeLayout out = app::ComputeResizeLayout(in);
    EXPECT_EQ(out.BConnectTop, -17);
    EXPECT_EQ(out.CComTop, -18);
    EXPECT_EQ(out.CheckAutoTop, -20);
    EXPECT_EQ(out.LFreqTop, -111);
}

TEST(ResizeLayout, ATinyDisplayPageStillGetsAFont) {
    app::TResizeInput in = DesignSizes();
    for (int width : {0, 5, 19}) {
        in.DisplayPageWidth = width;
        EXPECT_EQ(app::ComputeResizeLayout(in).LFreqFontSize, 1) << width;
    }
    in.DisplayPageWidth = 400;
    in.MeasureBigDigits = [](int, const std::string&) { return app::TTextExtent{}; };
    EXPECT_EQ(app::ComputeResizeLayout(in).LFreqFontSize, 20); // no width to scale by
}

} // namespace
