// SPDX-License-Identifier: GPL-3.0-or-later
#include "axis_picture.h"
#include "plot_test_support.h"

#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/mapping.h"
#include "plot/tick_steps.h"
#include "plot/unzoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>

namespace plot {

namespace {

class AxisDrawing : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 320;

    void SetUp() override {
        engine.startGraph(kWhite, kBlack, 1.0);
        cw = picture().textWidth("0");
        ch = picture().textHeight("0");
        // The default tick sizes are the same for x and y.
        const TickLengthPair ticks =
            tickLengths(cw, engine.settings().value(Setting::MajorTicSizeX),
                        engine.settings().value(Setting::MinorTicSizeX));
        major = ticks.major;
        minor = ticks.minor;
    }

    // Opens a plot rectangle given in picture pixels (right and bottom are the edges' pixels).
    void openPlot(int left, int top, int right, int bottom) {
        engine.setPlotArea({0, 100, 0, 100, left, kWidth - right, top, kHeight - bottom});
    }
    // A plot whose width holds exactly `pitches` x label pitches of the default x labels.
    void openPlotForXPitches(int pitches) { openPlot(60, 60, 60 + pitches * 8 * cw, 240); }

    void xAxis(double start, double end, const std::string& caption = "", bool grid = false,
               Color colour = kBlack, ExtendMode extend = ExtendMode::Keep,
               bool logarithmic = false, double resolution = 0) {
        engine.drawAxis({.kind = plot::AxisKind::X,
                         .colour = colour,
                         .caption = caption,
                         .start = start,
                         .end = end,
                         .resolution = resolution,
                         .gridOn = grid,
                         .logarithmic = logarithmic,
                         .extend = extend});
    }
    void yAxis(double start, double end, int side = 1, const std::string& caption = "",
               bool grid = false, Color colour = kBlack, ExtendMode extend = ExtendMode::Keep,
               double resolution = 0) {
        engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = colour,
                         .caption = caption,
                         .side = side,
                         .start = start,
                         .end = end,
                         .resolution = resolution,
                         .gridOn = grid,
                         .extend = extend});
    }

    Canvas& picture() { return host.engineCanvas(); }
    // The box left..right-1 x top..bottom-1.
    static QRect box(int left, int top, int right, int bottom) {
        return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    const Mapping& map() const { return engine.mapping(); }
    int top() const { return map().mapBottom - map().mapHeight; }
    int right() const { return map().mapLeft + map().mapWidth; }
    int mapX(double v) const { return engine.mapX(v); }
    int mapY(double v) const { return engine.mapY(v); }
    const PlotArea& area() const { return engine.plotArea(1); }
    int width(const std::string& text) { return picture().textWidth(text); }

    // Checks an x label centred below the bottom axis at value v.
    ::testing::AssertionResult xLabel(double v, const std::string& text, Color colour = kBlack) {
        const int p = mapX(v);
        return textAt(picture(), p - width(text) / 2, map().mapBottom + major, text, colour);
    }
    // Checks a label of a left y axis at value v.
    ::testing::AssertionResult yLabel(double v, const std::string& text, Color colour) {
        const int right = map().mapLeft - (major + 2);
        return textAt(picture(), right - width(text), mapY(v) - ch / 2, text, colour);
    }

    ImageHost host{kWidth, kHeight};
    plot::PlotEngine engine{host};
    int cw = 0;
    int ch = 0;
    int major = 0; // tick lengths
    int minor = 0;
};

TEST_F(AxisDrawing, LeftAxisOfTheFrequencyShowsFiveLabelsTicksAndCaption) {
    const int pitch = 2 * ch;
    openPlot(100, 300 - (8 * pitch + pitch / 2), 300, 300);
    yAxis(24999990, 25000010, 1, "Y1-Axis", false, kBlue);

    int widest = 0;
    for (double v : {24999990.0, 24999995.0, 25000000.0, 25000005.0, 25000010.0}) {
        const std::string text = std::to_string(static_cast<long>(v));
        EXPECT_TRUE(yLabel(v, text, kBlue));
        widest = std::max(widest, width(text));
        EXPECT_EQ(picture().pixel(map().mapLeft - major + 1, mapY(v)), kBlue) << v;
        EXPECT_EQ(picture().pixel(map().mapLeft - major, mapY(v)), kWhite) << v;
    }
    const int minorRow = mapY(24999991);
    EXPECT_EQ(picture().pixel(map().mapLeft - minor + 1, minorRow), kBlue);
    EXPECT_EQ(picture().pixel(map().mapLeft - minor, minorRow), kWhite);
    EXPECT_EQ(
        countPixels(picture(), box(0, minorRow - 2, map().mapLeft - major, minorRow + 3), kBlue), 0)
        << "no label between the major ticks";
    const int captionRow = top() - ch / 2;
    EXPECT_TRUE(textAt(picture(), map().mapLeft - widest - major,
                       captionRow - picture().textHeight("Y1-Axis"), "Y1-Axis", kBlue));
}

TEST_F(AxisDrawing, RightAxisCaptionStandsAboveTheTopRightCorner) {
    openPlot(80, 80, 300, 280);
    yAxis(24999990, 25000010, 1, "Y1-Axis");
    yAxis(-1, 1, 4, "Y2-Axis", false, kGreen);
    const int reach = width("-1.0") + major;
    EXPECT_TRUE(textAt(picture(), right() + reach - width("Y2-Axis"),
                       top() - ch / 2 - picture().textHeight("Y2-Axis"), "Y2-Axis", kGreen));
    const int labelLeft = right() + major + 2;
    EXPECT_TRUE(textAt(picture(), labelLeft, mapY(1) - ch / 2, "1.0", kGreen));
    EXPECT_TRUE(textAt(picture(), labelLeft, mapY(0) - ch / 2, "0", kGreen));
}

TEST_F(AxisDrawing, XGridIsDashedAtMajorsDottedAtMinorsAndAbsentOnTheLeftEdge) {
    openPlotForXPitches(5); // major step 2, minor step 0.5
    xAxis(0, 10, "", true);
    const int bottom = map().mapBottom;
    for (int d = 0; d <= map().mapHeight; ++d) {
        EXPECT_EQ(picture().pixel(mapX(4), bottom - d), (d & 4) == 0 ? kBlack : kWhite) << d;
        if (d > 0) {
            EXPECT_EQ(picture().pixel(mapX(4.5), bottom - d), (d & 7) == 0 ? kBlack : kWhite) << d;
            EXPECT_EQ(picture().pixel(map().mapLeft, bottom - d), kWhite) << d;
            EXPECT_EQ(picture().pixel(mapX(4.25), bottom - d), kWhite) << d;
        }
    }
    for (double v : {0.0, 2.0, 4.0, 6.0, 8.0, 10.0})
        EXPECT_TRUE(xLabel(v, std::to_string(static_cast<int>(v))));
}

TEST_F(AxisDrawing, YAxisDrawsADashedZeroLineWithItsGridOff) {
    openPlot(80, 60, 300, 260);
    yAxis(-1, 1);
    const int zero = mapY(0);
    for (int d = 1; d <= map().mapWidth; ++d)
        EXPECT_EQ(picture().pixel(map().mapLeft + d, zero), (d & 4) == 0 ? kBlack : kWhite) << d;
    const int inkOutsideZero =
        countPixels(picture(), box(map().mapLeft + 1, top(), right() + 1, zero), kBlack) +
        countPixels(picture(), box(map().mapLeft + 1, zero + 1, right() + 1, map().mapBottom),
                    kBlack);
    EXPECT_EQ(inkOutsideZero, 0);
}

TEST_F(AxisDrawing, YRangeWithoutZeroHasNoZeroLine) {
    openPlot(80, 60, 300, 260);
    yAxis(1, 2);
    EXPECT_EQ(
        countPixels(picture(), box(map().mapLeft + 1, top(), right() + 1, map().mapBottom), kBlack),
        0);
}

TEST_F(AxisDrawing, UnitSuffixFollowsEveryXLabelAndWidensThePitch) {
    openPlotForXPitches(5); // without a suffix: major step 2
    xAxis(0, 10, "Time|s");
    for (double v : {0.0, 5.0, 10.0})
        EXPECT_TRUE(xLabel(v, std::to_string(static_cast<int>(v)) + "s"));
    const int labelTop = map().mapBottom + major;
    EXPECT_EQ(
        countPixels(picture(), box(mapX(2) - 3, labelTop, mapX(2) + 4, labelTop + ch), kBlack), 0)
        << "no label at 2";
    EXPECT_TRUE(textAt(picture(), map().mapLeft + map().mapWidth / 2 - width("Time") / 2,
                       labelTop + ch, "Time", kBlack));
}

TEST_F(AxisDrawing, AtSignLiftsTheYCaptionByOneLine) {
    const int pitch = 2 * ch;
    for (const std::string caption : {"Y1", "@Y1"}) {
        engine.startGraph(kWhite, kBlack, 1.0);
        openPlot(100, 250 - 2 * pitch, 300, 250); // labels 1000, 1500, 2000
        yAxis(1000, 2000, 1, caption);
        EXPECT_TRUE(yLabel(1500, "1500", kBlack));
        const int lift = caption[0] == '@' ? ch : 0;
        EXPECT_TRUE(textAt(picture(), map().mapLeft - width("1000") - major,
                           top() - ch / 2 - lift - picture().textHeight("Y1"), "Y1", kBlack))
            << caption;
    }
}

TEST_F(AxisDrawing, TextsAnchoredOutsideThePictureAreSkipped) {
    const int pitch = 2 * ch;
    openPlot(20, 250 - 2 * pitch, kWidth - 10, 250); // labels 1000, 1500, 2000
    yAxis(1000, 2000, 1, "Y1", false, kBlue);
    yAxis(1000, 2000, 4, "Y2", false, kGreen);
    const int captionTop = top() - ch / 2 - picture().textHeight("Y1");
    EXPECT_GT(countPixels(picture(), box(0, captionTop, width("Y1"), top() - ch / 2), kBlue), 0)
        << "anchor clamped to column 0 is drawn";
    EXPECT_EQ(countPixels(picture(), box(0, 0, kWidth, top() - ch / 2), kGreen), 0)
        << "anchor clamped to the picture width lies outside";
    EXPECT_GT(countPixels(picture(), box(right() + 1, top(), kWidth, map().mapBottom), kGreen), 0)
        << "labels anchored inside are drawn though they run off the picture";
}

TEST_F(AxisDrawing, XAxisAfterAYAxisInTheSameAreaDoesNothing) {
    openPlot(80, 60, 300, 260);
    xAxis(0, 10);
    yAxis(-1, 1);
    const QImage before = picture().image().copy();
    const Mapping mapping = map();
    xAxis(100, 200, "late", true);
    EXPECT_EQ(picture().image(), before);
    EXPECT_EQ(map().xMin, mapping.xMin);
    EXPECT_EQ(map().xMax, mapping.xMax);
}

TEST_F(AxisDrawing, ReversedRangeRunsFromTheStartAtTheLeft) {
    openPlotForXPitches(5);
    xAxis(10, 0);
    EXPECT_EQ(map().xMin, 10);
    EXPECT_EQ(map().xMax, 0);
    EXPECT_EQ(mapX(10), map().mapLeft);
    EXPECT_EQ(mapX(0), right());
    for (double v : {10.0, 8.0, 6.0, 4.0, 2.0, 0.0})
        EXPECT_TRUE(xLabel(v, std::to_string(static_cast<int>(v))));
    EXPECT_LT(mapX(8), mapX(2));
}

TEST_F(AxisDrawing, AxisInTheBackColourDrawsOnlyItsGridInTheForeColour) {
    openPlotForXPitches(5);
    xAxis(0, 10, "Caption", true, kWhite);
    EXPECT_EQ(picture().pixel(mapX(0.25), map().mapBottom), kWhite) << "no axis line";
    EXPECT_EQ(countPixels(picture(), box(1, map().mapBottom + 1, kWidth - 1, kHeight - 1), kBlack),
              0)
        << "no ticks, labels or caption";
    EXPECT_EQ(picture().pixel(mapX(4), map().mapBottom - 1), kBlack) << "grid in ForeColour";

    engine.startGraph(kWhite, kBlack, 1.0);
    openPlotForXPitches(5);
    xAxis(0, 10, "Caption", true, -255);
    EXPECT_EQ(countPixels(picture(), box(1, 1, kWidth - 1, kHeight - 1), kBlack), 0)
        << "-255 draws everything, grid included, in the back colour";
}

// A red world line from x = 1 to 9 at y = 0 of the axes drawn.
int redLine(plot::PlotEngine& engine, Canvas& picture) {
    engine.setPenColour(kRed);
    engine.moveTo(1, 0);
    engine.drawTo(9, 0);
    engine.finishGraph();
    return countPixels(picture, kRed);
}

TEST_F(AxisDrawing, AxesLeaveMappingRecordsAndAllowWorldLines) {
    openPlotForXPitches(5);
    xAxis(0, 10, "", false, kRed, ExtendMode::Keep, false, 0.1);
    const int redOfTheAxis = countPixels(picture(), kRed);
    EXPECT_EQ(redLine(engine, picture()), redOfTheAxis) << "no world lines with an x axis alone";
    const AxisRecord& x = area().axisRecord[kAxisX];
    EXPECT_TRUE(x.axisDefined);
    EXPECT_EQ(x.axisColour, kRed);
    EXPECT_EQ(x.axisMin, 0);
    EXPECT_EQ(x.axisMax, 10);
    EXPECT_EQ(x.axisPixelOrigin, map().mapLeft);
    EXPECT_EQ(x.axisPixelLength, map().mapWidth);
    EXPECT_DOUBLE_EQ(x.unitsPerPixel, 10.0 / map().mapWidth);
    EXPECT_EQ(x.labelDecimals, decimalsFor(10.0 / map().mapWidth));
    EXPECT_DOUBLE_EQ(area().minZoomFractionX, 0.01);

    yAxis(24999990, 25000010, 4, "", false, kBlue, ExtendMode::Keep, 0);
    yAxis(-1, 1, 1, "", false, kBlue, ExtendMode::Keep, 0.5);
    EXPECT_GT(redLine(engine, picture()), redOfTheAxis) << "world lines once a y axis stands";
    EXPECT_TRUE(area().axisRecord[4].axisDefined);
    EXPECT_EQ(area().axisRecord[4].axisMin, 24999990);
    EXPECT_EQ(area().axisRecord[1].axisPixelOrigin, map().mapBottom);
    EXPECT_EQ(area().axisRecord[1].axisPixelLength, map().mapHeight);
    EXPECT_EQ(map().yMin, -1) << "the last y axis maps the series that follow";
    EXPECT_DOUBLE_EQ(area().minZoomFractionY, 0.001) << "set by the first y axis";
}

TEST_F(AxisDrawing, ExtendedEndsGiveTheDrawnWindowAndTheYWindowIsTheRunningMean) {
    openPlot(80, 60, 300, 260);
    xAxis(0.5, 9.5, "", false, kBlack, ExtendMode::ToMajor);
    EXPECT_EQ(map().xMin, 0);
    EXPECT_EQ(map().xMax, 10);
    const FractionWindow drawn = area().axisRecord[kAxisX].drawnWindow;
    EXPECT_DOUBLE_EQ(drawn.low, -1.0 / 18);
    EXPECT_DOUBLE_EQ(drawn.high, 19.0 / 18);
    EXPECT_DOUBLE_EQ(area().zoomWindow.xLow, -1.0 / 18);
    EXPECT_DOUBLE_EQ(area().zoomWindow.xHigh, 19.0 / 18);

    yAxis(0.5, 9.5, 1, "", false, kBlack, ExtendMode::ToMajor);
    EXPECT_DOUBLE_EQ(area().zoomWindow.yLow, -1.0 / 18);
    yAxis(0, 10, 4);
    EXPECT_DOUBLE_EQ(area().zoomWindow.yLow, -1.0 / 36);
    EXPECT_DOUBLE_EQ(area().zoomWindow.yHigh, (19.0 / 18 + 1) / 2);
}

TEST_F(AxisDrawing, ZoomWindowCutsTheShownRangeFromTheFullRange) {
    struct Case {
        double start, end;
        bool logarithmic;
        double wantMin, wantMax;
    } cases[] = {{0, 10, false, 2, 6}, {10, 0, false, 8, 4}, {1, 1e5, true, 10, 1e3}};
    // Zoomed with a rectangle over 0.2 .. 0.6 of the plot's width and its whole height.
    openPlot(80, 60, 300, 260);
    xAxis(0, 10);
    yAxis(-1, 1);
    ctrlDrag(engine, {80 + 44, 260}, {80 + 132, 60});
    for (const auto& c : cases) {
        engine.startGraph(kWhite, kBlack, 1.0);
        openPlot(80, 60, 300, 260);
        xAxis(c.start, c.end, "", false, kBlack, ExtendMode::Keep, c.logarithmic);
        EXPECT_DOUBLE_EQ(map().xMin, c.wantMin) << c.start << ".." << c.end;
        EXPECT_DOUBLE_EQ(map().xMax, c.wantMax) << c.start << ".." << c.end;
        EXPECT_EQ(map().xLog, c.logarithmic);
        EXPECT_DOUBLE_EQ(area().axisRecord[kAxisX].drawnWindow.low, 0.2);
        EXPECT_DOUBLE_EQ(area().zoomWindow.xHigh, 0.6);
    }
}

TEST_F(AxisDrawing, RefusedAxesDrawNothing) {
    openPlot(80, 60, 300, 260);
    const QImage before = picture().image().copy();
    yAxis(5, 5);
    yAxis(0, 1, 9);
    xAxis(3, 3);
    engine.drawAxis({.kind = plot::AxisKind::X, .side = 5, .start = 0, .end = 1, .gridOn = true});
    EXPECT_EQ(picture().image(), before);
    // None of them stands: world lines are refused, and an x axis may still come.
    EXPECT_EQ(redLine(engine, picture()), 0);
    xAxis(0, 10);
    EXPECT_NE(picture().image(), before);
}

TEST_F(AxisDrawing, SettingsOfLifetimeThreeLastOneAxis) {
    // "Do not plot 0" blanks the zero label, and no other, of the next axis only, x or y.
    using Label = std::function<::testing::AssertionResult(double, const std::string&)>;
    struct Case {
        Setting code;
        std::function<void()> draw;
        Label label;
        double other;
        std::string otherText;
    };
    const Case cases[] = {
        {Setting::DoNotPlotZeroX, [this] { xAxis(-4, 6); },
         [this](double v, const std::string& t) { return xLabel(v, t); }, 2, "2"},
        {Setting::DoNotPlotZeroY, [this] { yAxis(-1, 1); },
         [this](double v, const std::string& t) { return yLabel(v, t, kBlack); }, 1, "1.0"},
    };
    for (const Case& c : cases) {
        engine.settings().set(Setting::LifetimeMode, 3);
        engine.settings().set(c.code, 1);
        for (bool blanked : {true, false}) {
            engine.startGraph(kWhite, kBlack, 1.0);
            openPlotForXPitches(5);
            c.draw();
            EXPECT_EQ(static_cast<bool>(c.label(0, "0")), !blanked) << static_cast<int>(c.code);
            EXPECT_TRUE(c.label(c.other, c.otherText)) << static_cast<int>(c.code);
        }
    }
}

TEST_F(AxisDrawing, SymbolExponentSettingWritesLowerCaseE) {
    engine.settings().set(Setting::SymbolExponent, 1);
    openPlotForXPitches(4); // major step 5000
    xAxis(0, 20000);
    EXPECT_TRUE(xLabel(5000, "5e3"));
    EXPECT_TRUE(xLabel(20000, "20e3"));
}

TEST_F(AxisDrawing, LogarithmicAxesAndTheirLinearFallback) {
    openPlotForXPitches(5);
    xAxis(1, 1000, "", false, kBlack, ExtendMode::Keep, true);
    EXPECT_TRUE(map().xLog);
    EXPECT_DOUBLE_EQ(map().xLogSpan, std::log(1000.0));
    EXPECT_EQ(mapX(1), map().mapLeft);
    EXPECT_EQ(mapX(1000), right());
    for (const char* label : {"1", "10", "100", "1000"})
        EXPECT_TRUE(xLabel(std::stod(label), label));
    EXPECT_TRUE(area().axisRecord[kAxisX].axisLog);
    EXPECT_EQ(area().axisRecord[kAxisX].minimumStep, 0);

    engine.startGraph(kWhite, kBlack, 1.0);
    openPlotForXPitches(5);
    xAxis(1000, 1, "", false, kBlack, ExtendMode::Keep, true);
    EXPECT_TRUE(map().xLog);
    EXPECT_EQ(mapX(1000), map().mapLeft);
    EXPECT_EQ(mapX(1), right());
    for (const char* label : {"1", "10", "100", "1000"})
        EXPECT_TRUE(xLabel(std::stod(label), label));

    for (double low : {1.0, 0.0}) {
        engine.startGraph(kWhite, kBlack, 1.0);
        openPlotForXPitches(5);
        xAxis(low, low == 0 ? 100 : 1.5, "", false, kBlack, ExtendMode::Keep, true);
        EXPECT_FALSE(map().xLog) << low;
        EXPECT_EQ(map().xLogSpan, 1.0) << low;
    }
}

TEST_F(AxisDrawing, NonFiniteRangesDrawTheAxisLineAndStop) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [start, end] : {std::pair{-inf, inf}, std::pair{0.0, nan}}) {
        engine.startGraph(kWhite, kBlack, 1.0);
        openPlot(80, 60, 300, 260);
        xAxis(start, end, "X", true);
        yAxis(start, end, 1, "Y", true);
        EXPECT_EQ(picture().pixel(map().mapLeft + 10, map().mapBottom), kBlack);
        EXPECT_EQ(picture().pixel(map().mapLeft, map().mapBottom - 10), kBlack);
    }
}

} // namespace

} // namespace plot
