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

namespace {

class AxisDrawing : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 320;

    void SetUp() override {
        Engine.startGraph(clWhite, clBlack, 1.0);
        Cw = Picture().TextWidth("0");
        Ch = Picture().TextHeight("0");
        // The default tick sizes are the same for x and y.
        const TickLengthPair ticks =
            TickLengths(Cw, Engine.settings().value(Setting::MajorTicSizeX),
                        Engine.settings().value(Setting::MinorTicSizeX));
        Major = ticks.Major;
        Minor = ticks.Minor;
    }

    // Opens a plot rectangle given in picture pixels (right and bottom are the edges' pixels).
    void OpenPlot(int left, int top, int right, int bottom) {
        Engine.setPlotArea({0, 100, 0, 100, left, kWidth - right, top, kHeight - bottom});
    }
    // A plot whose width holds exactly `pitches` x label pitches of the default x labels.
    void OpenPlotForXPitches(int pitches) { OpenPlot(60, 60, 60 + pitches * 8 * Cw, 240); }

    void XAxis(double start, double end, const std::string& caption = "", bool grid = false,
               TColor colour = clBlack, ExtendMode extend = ExtendMode::Keep,
               bool logarithmic = false, double resolution = 0) {
        Engine.drawAxis({.kind = plot::AxisKind::X,
                         .colour = colour,
                         .caption = caption,
                         .start = start,
                         .end = end,
                         .resolution = resolution,
                         .gridOn = grid,
                         .logarithmic = logarithmic,
                         .extend = extend});
    }
    void YAxis(double start, double end, int side = 1, const std::string& caption = "",
               bool grid = false, TColor colour = clBlack, ExtendMode extend = ExtendMode::Keep,
               double resolution = 0) {
        Engine.drawAxis({.kind = plot::AxisKind::Y,
                         .colour = colour,
                         .caption = caption,
                         .side = side,
                         .start = start,
                         .end = end,
                         .resolution = resolution,
                         .gridOn = grid,
                         .extend = extend});
    }

    Canvas& Picture() { return Host.EngineCanvas(); }
    // The box left..right-1 x top..bottom-1.
    static QRect Box(int left, int top, int right, int bottom) {
        return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    const TMapping& Map() const { return Engine.mapping(); }
    int Top() const { return Map().MapBottom - Map().MapHeight; }
    int Right() const { return Map().MapLeft + Map().MapWidth; }
    int MapX(double v) const { return Engine.mapX(v); }
    int MapY(double v) const { return Engine.mapY(v); }
    const TPlotArea& Area() const { return Engine.plotArea(1); }
    int Width(const std::string& text) { return Picture().TextWidth(text); }

    // Checks an x label centred below the bottom axis at value v.
    ::testing::AssertionResult XLabel(double v, const std::string& text, TColor colour = clBlack) {
        const int p = MapX(v);
        return TextAt(Picture(), p - Width(text) / 2, Map().MapBottom + Major, text, colour);
    }
    // Checks a label of a left y axis at value v.
    ::testing::AssertionResult YLabel(double v, const std::string& text, TColor colour) {
        const int right = Map().MapLeft - (Major + 2);
        return TextAt(Picture(), right - Width(text), MapY(v) - Ch / 2, text, colour);
    }

    TImageHost Host{kWidth, kHeight};
    plot::PlotEngine Engine{Host};
    int Cw = 0;
    int Ch = 0;
    int Major = 0; // tick lengths
    int Minor = 0;
};

TEST_F(AxisDrawing, LeftAxisOfTheFrequencyShowsFiveLabelsTicksAndCaption) {
    const int pitch = 2 * Ch;
    OpenPlot(100, 300 - (8 * pitch + pitch / 2), 300, 300);
    YAxis(24999990, 25000010, 1, "Y1-Axis", false, clBlue);

    const int major = Major;
    const int minor = Minor;
    int widest = 0;
    for (double v : {24999990.0, 24999995.0, 25000000.0, 25000005.0, 25000010.0}) {
        const std::string text = std::to_string(static_cast<long>(v));
        EXPECT_TRUE(YLabel(v, text, clBlue));
        widest = std::max(widest, Width(text));
        EXPECT_EQ(Picture().Pixel(Map().MapLeft - major + 1, MapY(v)), clBlue) << v;
        EXPECT_EQ(Picture().Pixel(Map().MapLeft - major, MapY(v)), clWhite) << v;
    }
    const int minorRow = MapY(24999991);
    EXPECT_EQ(Picture().Pixel(Map().MapLeft - minor + 1, minorRow), clBlue);
    EXPECT_EQ(Picture().Pixel(Map().MapLeft - minor, minorRow), clWhite);
    EXPECT_EQ(
        CountPixels(Picture(), Box(0, minorRow - 2, Map().MapLeft - major, minorRow + 3), clBlue),
        0)
        << "no label between the major ticks";
    const int captionRow = Top() - Ch / 2;
    EXPECT_TRUE(TextAt(Picture(), Map().MapLeft - widest - major,
                       captionRow - Picture().TextHeight("Y1-Axis"), "Y1-Axis", clBlue));
}

TEST_F(AxisDrawing, RightAxisCaptionStandsAboveTheTopRightCorner) {
    OpenPlot(80, 80, 300, 280);
    YAxis(24999990, 25000010, 1, "Y1-Axis");
    YAxis(-1, 1, 4, "Y2-Axis", false, clGreen);
    const int reach = Width("-1.0") + Major;
    EXPECT_TRUE(TextAt(Picture(), Right() + reach - Width("Y2-Axis"),
                       Top() - Ch / 2 - Picture().TextHeight("Y2-Axis"), "Y2-Axis", clGreen));
    const int labelLeft = Right() + Major + 2;
    EXPECT_TRUE(TextAt(Picture(), labelLeft, MapY(1) - Ch / 2, "1.0", clGreen));
    EXPECT_TRUE(TextAt(Picture(), labelLeft, MapY(0) - Ch / 2, "0", clGreen));
}

TEST_F(AxisDrawing, XGridIsDashedAtMajorsDottedAtMinorsAndAbsentOnTheLeftEdge) {
    OpenPlotForXPitches(5); // major step 2, minor step 0.5
    XAxis(0, 10, "", true);
    const int bottom = Map().MapBottom;
    for (int d = 0; d <= Map().MapHeight; ++d) {
        EXPECT_EQ(Picture().Pixel(MapX(4), bottom - d), (d & 4) == 0 ? clBlack : clWhite) << d;
        if (d > 0) {
            EXPECT_EQ(Picture().Pixel(MapX(4.5), bottom - d), (d & 7) == 0 ? clBlack : clWhite)
                << d;
            EXPECT_EQ(Picture().Pixel(Map().MapLeft, bottom - d), clWhite) << d;
            EXPECT_EQ(Picture().Pixel(MapX(4.25), bottom - d), clWhite) << d;
        }
    }
    for (double v : {0.0, 2.0, 4.0, 6.0, 8.0, 10.0})
        EXPECT_TRUE(XLabel(v, std::to_string(static_cast<int>(v))));
}

TEST_F(AxisDrawing, YAxisDrawsADashedZeroLineWithItsGridOff) {
    OpenPlot(80, 60, 300, 260);
    YAxis(-1, 1);
    const int zero = MapY(0);
    for (int d = 1; d <= Map().MapWidth; ++d)
        EXPECT_EQ(Picture().Pixel(Map().MapLeft + d, zero), (d & 4) == 0 ? clBlack : clWhite) << d;
    const int inkOutsideZero =
        CountPixels(Picture(), Box(Map().MapLeft + 1, Top(), Right() + 1, zero), clBlack) +
        CountPixels(Picture(), Box(Map().MapLeft + 1, zero + 1, Right() + 1, Map().MapBottom),
                    clBlack);
    EXPECT_EQ(inkOutsideZero, 0);
}

TEST_F(AxisDrawing, YRangeWithoutZeroHasNoZeroLine) {
    OpenPlot(80, 60, 300, 260);
    YAxis(1, 2);
    EXPECT_EQ(CountPixels(Picture(), Box(Map().MapLeft + 1, Top(), Right() + 1, Map().MapBottom),
                          clBlack),
              0);
}

TEST_F(AxisDrawing, UnitSuffixFollowsEveryXLabelAndWidensThePitch) {
    OpenPlotForXPitches(5); // without a suffix: major step 2
    XAxis(0, 10, "Time|s");
    for (double v : {0.0, 5.0, 10.0})
        EXPECT_TRUE(XLabel(v, std::to_string(static_cast<int>(v)) + "s"));
    const int labelTop = Map().MapBottom + Major;
    EXPECT_EQ(
        CountPixels(Picture(), Box(MapX(2) - 3, labelTop, MapX(2) + 4, labelTop + Ch), clBlack), 0)
        << "no label at 2";
    EXPECT_TRUE(TextAt(Picture(), Map().MapLeft + Map().MapWidth / 2 - Width("Time") / 2,
                       labelTop + Ch, "Time", clBlack));
}

TEST_F(AxisDrawing, AtSignLiftsTheYCaptionByOneLine) {
    const int pitch = 2 * Ch;
    for (const std::string caption : {"Y1", "@Y1"}) {
        Engine.startGraph(clWhite, clBlack, 1.0);
        OpenPlot(100, 250 - 2 * pitch, 300, 250); // labels 1000, 1500, 2000
        YAxis(1000, 2000, 1, caption);
        EXPECT_TRUE(YLabel(1500, "1500", clBlack));
        const int lift = caption[0] == '@' ? Ch : 0;
        EXPECT_TRUE(TextAt(Picture(), Map().MapLeft - Width("1000") - Major,
                           Top() - Ch / 2 - lift - Picture().TextHeight("Y1"), "Y1", clBlack))
            << caption;
    }
}

TEST_F(AxisDrawing, TextsAnchoredOutsideThePictureAreSkipped) {
    const int pitch = 2 * Ch;
    OpenPlot(20, 250 - 2 * pitch, kWidth - 10, 250); // labels 1000, 1500, 2000
    YAxis(1000, 2000, 1, "Y1", false, clBlue);
    YAxis(1000, 2000, 4, "Y2", false, clGreen);
    const int captionTop = Top() - Ch / 2 - Picture().TextHeight("Y1");
    EXPECT_GT(CountPixels(Picture(), Box(0, captionTop, Width("Y1"), Top() - Ch / 2), clBlue), 0)
        << "anchor clamped to column 0 is drawn";
    EXPECT_EQ(CountPixels(Picture(), Box(0, 0, kWidth, Top() - Ch / 2), clGreen), 0)
        << "anchor clamped to the picture width lies outside";
    EXPECT_GT(CountPixels(Picture(), Box(Right() + 1, Top(), kWidth, Map().MapBottom), clGreen), 0)
        << "labels anchored inside are drawn though they run off the picture";
}

TEST_F(AxisDrawing, XAxisAfterAYAxisInTheSameAreaDoesNothing) {
    OpenPlot(80, 60, 300, 260);
    XAxis(0, 10);
    YAxis(-1, 1);
    const QImage before = Picture().Image().copy();
    const TMapping mapping = Map();
    XAxis(100, 200, "late", true);
    EXPECT_EQ(Picture().Image(), before);
    EXPECT_EQ(Map().XMin, mapping.XMin);
    EXPECT_EQ(Map().XMax, mapping.XMax);
}

TEST_F(AxisDrawing, ReversedRangeRunsFromTheStartAtTheLeft) {
    OpenPlotForXPitches(5);
    XAxis(10, 0);
    EXPECT_EQ(Map().XMin, 10);
    EXPECT_EQ(Map().XMax, 0);
    EXPECT_EQ(MapX(10), Map().MapLeft);
    EXPECT_EQ(MapX(0), Right());
    for (double v : {10.0, 8.0, 6.0, 4.0, 2.0, 0.0})
        EXPECT_TRUE(XLabel(v, std::to_string(static_cast<int>(v))));
    EXPECT_LT(MapX(8), MapX(2));
}

TEST_F(AxisDrawing, AxisInTheBackColourDrawsOnlyItsGridInTheForeColour) {
    OpenPlotForXPitches(5);
    XAxis(0, 10, "Caption", true, clWhite);
    EXPECT_EQ(Picture().Pixel(MapX(0.25), Map().MapBottom), clWhite) << "no axis line";
    EXPECT_EQ(CountPixels(Picture(), Box(1, Map().MapBottom + 1, kWidth - 1, kHeight - 1), clBlack),
              0)
        << "no ticks, labels or caption";
    EXPECT_EQ(Picture().Pixel(MapX(4), Map().MapBottom - 1), clBlack) << "grid in ForeColour";

    Engine.startGraph(clWhite, clBlack, 1.0);
    OpenPlotForXPitches(5);
    XAxis(0, 10, "Caption", true, -255);
    EXPECT_EQ(CountPixels(Picture(), Box(1, 1, kWidth - 1, kHeight - 1), clBlack), 0)
        << "-255 draws everything, grid included, in the back colour";
}

// A red world line from x = 1 to 9 at y = 0 of the axes drawn.
int RedLine(plot::PlotEngine& engine, Canvas& picture) {
    engine.setPenColour(clRed);
    engine.moveTo(1, 0);
    engine.drawTo(9, 0);
    engine.finishGraph();
    return CountPixels(picture, clRed);
}

TEST_F(AxisDrawing, AxesLeaveMappingRecordsAndAllowWorldLines) {
    OpenPlotForXPitches(5);
    XAxis(0, 10, "", false, clRed, ExtendMode::Keep, false, 0.1);
    const int redOfTheAxis = CountPixels(Picture(), clRed);
    EXPECT_EQ(RedLine(Engine, Picture()), redOfTheAxis) << "no world lines with an x axis alone";
    const TAxisRecord& x = Area().AxisRecord[kAxisX];
    EXPECT_TRUE(x.AxisDefined);
    EXPECT_EQ(x.AxisColour, clRed);
    EXPECT_EQ(x.AxisMin, 0);
    EXPECT_EQ(x.AxisMax, 10);
    EXPECT_EQ(x.AxisPixelOrigin, Map().MapLeft);
    EXPECT_EQ(x.AxisPixelLength, Map().MapWidth);
    EXPECT_DOUBLE_EQ(x.UnitsPerPixel, 10.0 / Map().MapWidth);
    EXPECT_EQ(x.LabelDecimals, DecimalsFor(10.0 / Map().MapWidth));
    EXPECT_DOUBLE_EQ(Area().MinZoomFractionX, 0.01);

    YAxis(24999990, 25000010, 4, "", false, clBlue, ExtendMode::Keep, 0);
    YAxis(-1, 1, 1, "", false, clBlue, ExtendMode::Keep, 0.5);
    EXPECT_GT(RedLine(Engine, Picture()), redOfTheAxis) << "world lines once a y axis stands";
    EXPECT_TRUE(Area().AxisRecord[4].AxisDefined);
    EXPECT_EQ(Area().AxisRecord[4].AxisMin, 24999990);
    EXPECT_EQ(Area().AxisRecord[1].AxisPixelOrigin, Map().MapBottom);
    EXPECT_EQ(Area().AxisRecord[1].AxisPixelLength, Map().MapHeight);
    EXPECT_EQ(Map().YMin, -1) << "the last y axis maps the series that follow";
    EXPECT_DOUBLE_EQ(Area().MinZoomFractionY, 0.001) << "set by the first y axis";
}

TEST_F(AxisDrawing, ExtendedEndsGiveTheDrawnWindowAndTheYWindowIsTheRunningMean) {
    OpenPlot(80, 60, 300, 260);
    XAxis(0.5, 9.5, "", false, clBlack, ExtendMode::ToMajor);
    EXPECT_EQ(Map().XMin, 0);
    EXPECT_EQ(Map().XMax, 10);
    const TFractionWindow drawn = Area().AxisRecord[kAxisX].DrawnWindow;
    EXPECT_DOUBLE_EQ(drawn.Low, -1.0 / 18);
    EXPECT_DOUBLE_EQ(drawn.High, 19.0 / 18);
    EXPECT_DOUBLE_EQ(Area().ZoomWindow.XLow, -1.0 / 18);
    EXPECT_DOUBLE_EQ(Area().ZoomWindow.XHigh, 19.0 / 18);

    YAxis(0.5, 9.5, 1, "", false, clBlack, ExtendMode::ToMajor);
    EXPECT_DOUBLE_EQ(Area().ZoomWindow.YLow, -1.0 / 18);
    YAxis(0, 10, 4);
    EXPECT_DOUBLE_EQ(Area().ZoomWindow.YLow, -1.0 / 36);
    EXPECT_DOUBLE_EQ(Area().ZoomWindow.YHigh, (19.0 / 18 + 1) / 2);
}

TEST_F(AxisDrawing, ZoomWindowCutsTheShownRangeFromTheFullRange) {
    struct Case {
        double start, end;
        bool logarithmic;
        double wantMin, wantMax;
    } cases[] = {{0, 10, false, 2, 6}, {10, 0, false, 8, 4}, {1, 1e5, true, 10, 1e3}};
    // Zoomed with a rectangle over 0.2 .. 0.6 of the plot's width and its whole height.
    OpenPlot(80, 60, 300, 260);
    XAxis(0, 10);
    YAxis(-1, 1);
    CtrlDrag(Engine, {80 + 44, 260}, {80 + 132, 60});
    for (const auto& c : cases) {
        Engine.startGraph(clWhite, clBlack, 1.0);
        OpenPlot(80, 60, 300, 260);
        XAxis(c.start, c.end, "", false, clBlack, ExtendMode::Keep, c.logarithmic);
        EXPECT_DOUBLE_EQ(Map().XMin, c.wantMin) << c.start << ".." << c.end;
        EXPECT_DOUBLE_EQ(Map().XMax, c.wantMax) << c.start << ".." << c.end;
        EXPECT_EQ(Map().XLog, c.logarithmic);
        EXPECT_DOUBLE_EQ(Area().AxisRecord[kAxisX].DrawnWindow.Low, 0.2);
        EXPECT_DOUBLE_EQ(Area().ZoomWindow.XHigh, 0.6);
    }
}

TEST_F(AxisDrawing, RefusedAxesDrawNothing) {
    OpenPlot(80, 60, 300, 260);
    const QImage before = Picture().Image().copy();
    YAxis(5, 5);
    YAxis(0, 1, 9);
    XAxis(3, 3);
    Engine.drawAxis({.kind = plot::AxisKind::X, .side = 5, .start = 0, .end = 1, .gridOn = true});
    EXPECT_EQ(Picture().Image(), before);
    // None of them stands: world lines are refused, and an x axis may still come.
    EXPECT_EQ(RedLine(Engine, Picture()), 0);
    XAxis(0, 10);
    EXPECT_NE(Picture().Image(), before);
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
        {Setting::DoNotPlotZeroX, [this] { XAxis(-4, 6); },
         [this](double v, const std::string& t) { return XLabel(v, t); }, 2, "2"},
        {Setting::DoNotPlotZeroY, [this] { YAxis(-1, 1); },
         [this](double v, const std::string& t) { return YLabel(v, t, clBlack); }, 1, "1.0"},
    };
    for (const Case& c : cases) {
        Engine.settings().set(Setting::LifetimeMode, 3);
        Engine.settings().set(c.code, 1);
        for (bool blanked : {true, false}) {
            Engine.startGraph(clWhite, clBlack, 1.0);
            OpenPlotForXPitches(5);
            c.draw();
            EXPECT_EQ(static_cast<bool>(c.label(0, "0")), !blanked) << static_cast<int>(c.code);
            EXPECT_TRUE(c.label(c.other, c.otherText)) << static_cast<int>(c.code);
        }
    }
}

TEST_F(AxisDrawing, SymbolExponentSettingWritesLowerCaseE) {
    Engine.settings().set(Setting::SymbolExponent, 1);
    OpenPlotForXPitches(4); // major step 5000
    XAxis(0, 20000);
    EXPECT_TRUE(XLabel(5000, "5e3"));
    EXPECT_TRUE(XLabel(20000, "20e3"));
}

TEST_F(AxisDrawing, LogarithmicAxesAndTheirLinearFallback) {
    OpenPlotForXPitches(5);
    XAxis(1, 1000, "", false, clBlack, ExtendMode::Keep, true);
    EXPECT_TRUE(Map().XLog);
    EXPECT_DOUBLE_EQ(Map().XLogSpan, std::log(1000.0));
    EXPECT_EQ(MapX(1), Map().MapLeft);
    EXPECT_EQ(MapX(1000), Right());
    for (const char* label : {"1", "10", "100", "1000"})
        EXPECT_TRUE(XLabel(std::stod(label), label));
    EXPECT_TRUE(Area().AxisRecord[kAxisX].AxisLog);
    EXPECT_EQ(Area().AxisRecord[kAxisX].MinimumStep, 0);

    Engine.startGraph(clWhite, clBlack, 1.0);
    OpenPlotForXPitches(5);
    XAxis(1000, 1, "", false, clBlack, ExtendMode::Keep, true);
    EXPECT_TRUE(Map().XLog);
    EXPECT_EQ(MapX(1000), Map().MapLeft);
    EXPECT_EQ(MapX(1), Right());
    for (const char* label : {"1", "10", "100", "1000"})
        EXPECT_TRUE(XLabel(std::stod(label), label));

    for (double low : {1.0, 0.0}) {
        Engine.startGraph(clWhite, clBlack, 1.0);
        OpenPlotForXPitches(5);
        XAxis(low, low == 0 ? 100 : 1.5, "", false, clBlack, ExtendMode::Keep, true);
        EXPECT_FALSE(Map().XLog) << low;
        EXPECT_EQ(Map().XLogSpan, 1.0) << low;
    }
}

TEST_F(AxisDrawing, NonFiniteRangesDrawTheAxisLineAndStop) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const auto& [start, end] : {std::pair{-inf, inf}, std::pair{0.0, nan}}) {
        Engine.startGraph(clWhite, clBlack, 1.0);
        OpenPlot(80, 60, 300, 260);
        XAxis(start, end, "X", true);
        YAxis(start, end, 1, "Y", true);
        EXPECT_EQ(Picture().Pixel(Map().MapLeft + 10, Map().MapBottom), clBlack);
        EXPECT_EQ(Picture().Pixel(Map().MapLeft, Map().MapBottom - 10), clBlack);
    }
}

} // namespace
