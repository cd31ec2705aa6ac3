#include "plot/engine_state.h"
#include "plot/readout_numbers.h"
#include "plot/unzoom.h"
#include "plot/zoom_ruler.h"
#include "tests/plot/axis_picture.h"
#include "tests/plot/drawn_frame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The plot rectangle of the main window's layout on 1122 x 476: 224..1010 x 48..381.
constexpr int kLeft = 224;
constexpr int kRight = 1010;
constexpr int kTop = 48;
constexpr int kBottom = 381;
constexpr int kMiddleX = 617; // x = 5
constexpr int kMiddleY = 214;

class ZoomRuler : public ::testing::Test {
protected:
    void SetUp() override {
        Unzoom(0);
        Engine().Settings.set(Setting::DisableZoomAutoredraw, 0);
        Engine().Settings.set(Setting::MaxZoomDepth, 1000);
    }
    void TearDown() override {
        Engine().Settings.reset(Setting::DisableZoomAutoredraw);
        Engine().Settings.reset(Setting::MaxZoomDepth);
        Unzoom(0);
    }

    std::unique_ptr<DrawnFrame> Frame(DrawnFrame::Layout layout = {}) {
        return std::make_unique<DrawnFrame>(layout);
    }

    static void CtrlDrag(int x0, int y0, int x1, int y1) {
        MouseDown(mbLeft, ssCtrl | ssLeft, x0, y0);
        MouseMove(ssCtrl | ssLeft, (x0 + x1) / 2, (y0 + y1) / 2);
        MouseMove(ssCtrl | ssLeft, x1, y1);
        MouseUp(mbLeft, ssCtrl, x1, y1);
    }

    static const TAxisRecord& Axis(int n) { return Engine().PlotArea[1].AxisRecord[n]; }
    static const TZoomWindow& Window() { return Engine().PlotArea[1].ZoomWindow; }

    // The readout's x text + " / " in the x-axis colour and the y text right after it.
    static ::testing::AssertionResult ReadoutShows(DrawnFrame& frame, const std::string& x,
                                                   const std::string& y, TColor yColour) {
        const Canvas& c = frame.EngineCanvas();
        const std::string head = x + " / ";
        const auto first = TextAt(c, 2, 2, head, clRed);
        if (!first) {
            return first;
        }
        return TextAt(c, 2 + c.TextWidth(head), 2, y, yColour);
    }
};

TEST_F(ZoomRuler, PressesStartTheRulerOnlyStrictlyInsideThePlot) {
    struct Case {
        const char* what;
        int x;
        int y;
        bool ruler;
    };
    const Case cases[] = {
        {"middle of the plot", kMiddleX, kMiddleY, true},
        {"one pixel inside the corner", kLeft + 1, kBottom - 1, true},
        {"on the left edge", kLeft, kMiddleY, false},
        {"on the bottom edge", kMiddleX, kBottom, false},
        {"on the right edge", kRight, kMiddleY, false},
        {"outside every area", 100, 100, false},
    };
    for (const auto& c : cases) {
        auto frame = Frame();
        const QImage before = frame->Picture();
        MouseDown(mbLeft, ssLeft, c.x, c.y);
        EXPECT_EQ(Engine().RulerDragging, c.ruler) << c.what;
        EXPECT_FALSE(Engine().BandActive) << c.what;
        if (!c.ruler) {
            EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0) << c.what;
            EXPECT_TRUE(frame->Cursors.empty() || frame->Cursors.back() == TScreenCursor::Default)
                << c.what;
        }
        MouseUp(mbLeft, 0, c.x, c.y);
    }
}

TEST_F(ZoomRuler, OnTheLabelsOnlyCtrlPressStartsARectangle) {
    // Pixel margins put the labels inside the area but outside the plot rectangle.
    auto frame = Frame({20, 90, 10, 80, 60, 40});
    const int labelX = kLeft + 20; // area starts at 224, plot at 284
    const int labelY = kBottom - 20;
    MouseDown(mbLeft, ssLeft, labelX, labelY);
    EXPECT_FALSE(Engine().RulerDragging);
    EXPECT_FALSE(Engine().BandActive);
    MouseUp(mbLeft, 0, labelX, labelY);

    MouseDown(mbLeft, ssCtrl | ssLeft, labelX, labelY);
    EXPECT_TRUE(Engine().BandActive);
    MouseUp(mbLeft, 0, labelX, labelY);
    EXPECT_FALSE(Engine().BandActive);
}

TEST_F(ZoomRuler, ReadoutAtTwoTwoInTheAxisColours) {
    auto frame = Frame();
    frame->Offset = QPoint(100, 50);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_TRUE(ReadoutShows(*frame, "5.00", "0.003", clBlue));
    EXPECT_EQ(frame->Cursors.back(), TScreenCursor::Cross);
    // Plot rectangle, right and bottom edges included, moved to the screen.
    EXPECT_EQ(frame->Confinement,
              QRect(kLeft + 100, kTop + 50, kRight - kLeft + 1, kBottom - kTop + 1));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
    EXPECT_EQ(frame->Cursors.back(), TScreenCursor::Default);
    EXPECT_TRUE(frame->Confinement.isNull());
}

TEST_F(ZoomRuler, RulerHeldBeyondThePlotShowsTheEdgeValues) {
    auto frame = Frame();
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    MouseMove(ssLeft, 5000, -300);
    EXPECT_TRUE(ReadoutShows(*frame, "10.00", "1.000", clBlue));
    MouseMove(ssLeft, -5, 1000);
    EXPECT_TRUE(ReadoutShows(*frame, "0.00", "-1.000", clBlue));
    MouseUp(mbLeft, 0, -5, 1000);
}

TEST_F(ZoomRuler, DrawingAndRemovingLeavesThePictureIdentical) {
    auto frame = Frame({20, 90, 10, 80, 0, 0, true, clBtnFace});
    const QImage before = frame->Picture();

    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_GT(DifferingPixels(before, frame->Picture()), 0);
    for (int i = 0; i < 20; ++i) {
        MouseMove(ssLeft, kLeft + 13 * i, kTop + 11 * i);
    }
    MouseDown(mbRight, ssLeft, kLeft + 5, kTop + 5);
    MouseMove(ssLeft, kRight + 50, kBottom + 50);
    MouseUp(mbLeft, 0, kRight, kBottom);
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0) << "ruler";

    // Ctrl released before the button: the rectangle goes, nothing is zoomed or repainted.
    MouseDown(mbLeft, ssCtrl | ssLeft, 300, 100);
    EXPECT_GT(DifferingPixels(before, frame->Picture()), 0);
    for (int i = 0; i < 10; ++i) {
        MouseMove(ssCtrl | ssLeft, 300 + 37 * i, 100 + 23 * i);
    }
    MouseDown(mbRight, ssCtrl | ssLeft, 650, 310);
    MouseMove(ssLeft, 700, 320);
    MouseUp(mbLeft, 0, 700, 320);
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0) << "zoom rectangle";
    EXPECT_EQ(frame->Repaints, 0);
    EXPECT_DOUBLE_EQ(Window().XHigh, 1.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisZoomWindow.Low, 0.0);
}

TEST_F(ZoomRuler, ZoomRectangleShowsInTheRulerColourOverTheBackground) {
    for (TColor back : {clWhite, clBtnFace}) {
        auto frame = Frame({20, 90, 10, 80, 0, 0, false, back});
        MouseDown(mbLeft, ssCtrl | ssLeft, 300, 100);
        MouseMove(ssCtrl | ssLeft, 500, 300);
        const Canvas& c = frame->EngineCanvas();
        for (const QPoint& p : {QPoint(400, 100), QPoint(500, 150), QPoint(400, 300)})
            EXPECT_EQ(c.Pixel(p.x(), p.y()), clBlue) << back << " at " << p.x() << "," << p.y();
        MouseUp(mbLeft, 0, 500, 300);
    }
}

TEST_F(ZoomRuler, RightClickCyclesTheReadoutBetweenLeftAndRightAxes) {
    auto frame = Frame({20, 90, 10, 80, 0, 0, true});
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().RulerAxis, 1);
    EXPECT_TRUE(ReadoutShows(*frame, "5.00", "0.003", clBlue));
    MouseDown(mbRight, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().RulerAxis, 4);
    EXPECT_TRUE(ReadoutShows(*frame, "5.00", "50.2", clGreen));
    MouseDown(mbRight, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().RulerAxis, 1);
    EXPECT_TRUE(ReadoutShows(*frame, "5.00", "0.003", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, CtrlDragNarrowsTheViewAndACtrlClickRestoresIt) {
    auto frame = Frame();
    const int half = kLeft + (kRight - kLeft) / 2;
    CtrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame->Repaints, 1);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.Low, 0.0, 1e-9);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.High, 0.5, 0.002);
    EXPECT_NEAR(Axis(0).AxisMax, 5.0, 0.02); // the repaint shows the left half
    EXPECT_NEAR(Axis(1).AxisZoomWindow.Low, 0.0, 1e-9);
    EXPECT_NEAR(Axis(1).AxisZoomWindow.High, 1.0, 1e-9);
    EXPECT_EQ(Engine().LastZoomedArea, 1);

    CtrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame->Repaints, 2);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.High, 0.25, 0.002);
    EXPECT_NEAR(Window().XHigh, 0.25, 0.002);
    EXPECT_NEAR(Axis(0).AxisMax, 2.5, 0.02);

    CtrlDrag(400, 200, 401, 201);
    EXPECT_EQ(frame->Repaints, 3);
    EXPECT_DOUBLE_EQ(Axis(0).AxisMin, 0.0);
    EXPECT_DOUBLE_EQ(Axis(0).AxisMax, 10.0);
    EXPECT_DOUBLE_EQ(Window().XHigh, 1.0);
    EXPECT_EQ(Engine().LastZoomedArea, 0);
}

TEST_F(ZoomRuler, YZoomStopsAtTheMaxZoomDepth) {
    auto frame = Frame();
    for (int i = 0; i < 6; ++i) {
        CtrlDrag(kLeft + 10, kMiddleY - 2, kRight - 10, kMiddleY + 2);
        const TFractionWindow& y = Axis(1).AxisZoomWindow;
        EXPECT_GE(y.High - y.Low, 0.001 - 1e-12) << "zoom " << i;
        EXPECT_GE(Window().YHigh - Window().YLow, 0.001 - 1e-12) << "zoom " << i;
    }
    const TFractionWindow& y = Axis(1).AxisZoomWindow;
    EXPECT_NEAR(y.High - y.Low, 0.001, 1e-12);
    EXPECT_NEAR(Axis(1).AxisMax - Axis(1).AxisMin, 0.002, 1e-9);
}

TEST_F(ZoomRuler, UnzoomAllRestoresTheFullRanges) {
    auto frame = Frame({20, 90, 10, 80, 0, 0, true});
    CtrlDrag(300, 100, 500, 300);
    ASSERT_LT(Axis(0).AxisMax, 10.0);
    ASSERT_GT(Axis(4).AxisMin, 0.0);
    Unzoom(0);
    EXPECT_EQ(Engine().LastZoomedArea, 0);
    frame->Paint();
    EXPECT_DOUBLE_EQ(Axis(0).AxisMin, 0.0);
    EXPECT_DOUBLE_EQ(Axis(0).AxisMax, 10.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisMin, -1.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisMax, 1.0);
    EXPECT_DOUBLE_EQ(Axis(4).AxisMin, 0.0);
    EXPECT_DOUBLE_EQ(Axis(4).AxisMax, 100.0);
    EXPECT_DOUBLE_EQ(Window().XLow, 0.0);
    EXPECT_DOUBLE_EQ(Window().YHigh, 1.0);
}

TEST_F(ZoomRuler, ABandBeyondTheAxisOrWithoutAutoredraw) {
    // Margins leave room left of the plot: a band there lies wholly beyond the x axis.
    auto frame = Frame({20, 90, 10, 80, 60, 40});
    CtrlDrag(kLeft + 5, kTop + 10, kLeft + 40, kTop + 100);
    EXPECT_EQ(frame->Repaints, 0);
    EXPECT_DOUBLE_EQ(Axis(0).AxisZoomWindow.Low, 0.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisZoomWindow.High, 1.0);
    EXPECT_EQ(Engine().LastZoomedArea, 0);

    Engine().Settings.set(Setting::DisableZoomAutoredraw, 1);
    CtrlDrag(400, 100, 600, 200);
    EXPECT_EQ(frame->Repaints, 0);
    EXPECT_GT(Axis(0).AxisZoomWindow.Low, 0.0);
    EXPECT_LT(Axis(1).AxisZoomWindow.High, 1.0);
    EXPECT_EQ(Engine().LastZoomedArea, 1);
}

TEST_F(ZoomRuler, ANewPictureTakesOverAnInterruptedDrag) {
    auto frame = Frame();
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    ASSERT_TRUE(Engine().RulerDragging);
    frame->Paint();
    EXPECT_EQ(frame->Invalidations, 1);
    EXPECT_FALSE(Engine().RulerDragging);
    EXPECT_EQ(frame->Cursors.back(), TScreenCursor::Default);
    const QImage fresh = frame->Picture();
    MouseMove(ssLeft, 300, 300);
    MouseUp(mbLeft, 0, 300, 300);
    EXPECT_EQ(DifferingPixels(fresh, frame->Picture()), 0);
}

TEST_F(ZoomRuler, SetupRulerFlagsAndAHiddenReadout) {
    auto frame = Frame();
    EXPECT_EQ(Engine().RulerMode, 3);
    EXPECT_TRUE(Engine().RulerSnapX);
    EXPECT_TRUE(Engine().RulerSnapY);
    EXPECT_TRUE(Engine().RulerEnabled);
    EXPECT_EQ(Engine().RulerColour, clBlue);

    SetupRuler(clRed, -1, -1, 1, 2);
    EXPECT_FALSE(Engine().RulerEnabled);
    EXPECT_EQ(Engine().RulerMode, 2);
    EXPECT_FALSE(Engine().RulerSnapX);
    const QImage before = frame->Picture();
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_TRUE(Engine().RulerDragging);
    EXPECT_EQ(DifferingPixels(before, frame->Picture()), 0);
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, MouseRecordsHoldPixelsAndWorldValues) {
    auto frame = Frame({20, 90, 10, 80, 0, 0, true});
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    for (const TMouseInfo& info : Engine().MouseInfo) {
        EXPECT_EQ(info.Area, 1);
        EXPECT_EQ(info.PixelX, kMiddleX);
        EXPECT_NEAR(info.WorldX, 5.0, 1e-9);
        EXPECT_NEAR(info.WorldY[0], 0.003, 1e-3);
        EXPECT_DOUBLE_EQ(info.WorldY[1], 0.0); // Y2 not drawn
        EXPECT_NEAR(info.WorldY[3], 50.15, 0.01);
    }
    MouseMove(ssLeft, kRight - 1, kMiddleY);
    EXPECT_EQ(Engine().MouseInfo[miMove].PixelX, kRight - 1);
    EXPECT_EQ(Engine().MouseInfo[miPress].PixelX, kMiddleX);
    MouseUp(mbLeft, 0, kRight - 1, kMiddleY);
    EXPECT_EQ(Engine().MouseInfo[miRelease].PixelX, kRight - 1);
}

TEST_F(ZoomRuler, SnapsToTheMinimumStepsWithOneYAxis) {
    auto frame = Frame({20, 90, 10, 80, 0, 0, false, clWhite, 0.5});
    ASSERT_DOUBLE_EQ(Axis(0).MinimumStep, 0.5);
    // x = 5.2 snaps to 5.0, y = 0.003 to 0.0 (its pixel is the middle row, 214.5 rounded).
    MouseDown(mbLeft, ssLeft, kMiddleX + 16, kMiddleY);
    EXPECT_EQ(Engine().RulerX, kMiddleX);
    EXPECT_EQ(Engine().RulerY, 214);
    EXPECT_TRUE(ReadoutShows(*frame, "5.0", "0.0", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);

    // With a second y axis the y position is left as it is.
    auto both = Frame({20, 90, 10, 80, 0, 0, true, clWhite, 0.5});
    MouseDown(mbLeft, ssLeft, kMiddleX + 16, kMiddleY - 3);
    EXPECT_EQ(Engine().RulerX, kMiddleX);
    EXPECT_EQ(Engine().RulerY, kMiddleY - 3);
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, ReadoutAlignedRightOrCentredOnItsSeparator) {
    auto frame = Frame();
    const Canvas& c = frame->EngineCanvas();
    SetupRuler(clBlue, 600, 2, -1, 27);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    const int rightAligned = 600 - c.TextWidth("5.00 / 0.003");
    EXPECT_TRUE(TextAt(c, rightAligned, 2, "5.00 / ", clRed));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);

    SetupRuler(clBlue, 600, 2, 0, 27);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    const int centred = 600 - c.TextWidth("5.00 / 5.00") / 2;
    EXPECT_TRUE(TextAt(c, centred, 2, "5.00 / ", clRed));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, LogarithmicAxisReadoutInSignificantDigits) {
    DrawnFrame::Layout layout;
    layout.LogX = true;
    auto frame = Frame(layout);
    ASSERT_TRUE(Axis(0).AxisLog);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY); // x = 10, the middle of 1..100
    const std::string x = FormatSignificant(Axis(0).LabelDecimals, 10.0);
    EXPECT_EQ(x.substr(0, 2), "10");
    EXPECT_TRUE(ReadoutShows(*frame, x, "0.003", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

} // namespace
