#include "plot/readout_numbers.h"
#include "tests/plot/axis_picture.h"
#include "tests/plot/drawn_frame.h"
#include "tests/plot/plot_test_support.h"

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

using plot::Interaction;

class ZoomRuler : public ::testing::Test {
protected:
    // The frame the mouse works on; a test that makes a second one says so.
    DrawnFrame& Frame(DrawnFrame::Layout layout = {}) {
        frame = std::make_unique<DrawnFrame>(layout);
        return *frame;
    }
    plot::PlotEngine& Engine() { return frame->Engine; }

    void MouseDown(TMouseButton button, int shift, int x, int y) {
        Engine().mouseDown(button, shift, x, y);
    }
    void MouseMove(int shift, int x, int y) { Engine().mouseMove(shift, x, y); }
    void MouseUp(TMouseButton button, int shift, int x, int y) {
        Engine().mouseUp(button, shift, x, y);
    }
    void CtrlDrag(int x0, int y0, int x1, int y1) { ::CtrlDrag(Engine(), {x0, y0}, {x1, y1}); }
    Interaction Doing() { return Engine().interaction(); }

    const TAxisRecord& Axis(int n) { return Engine().plotArea(1).AxisRecord[n]; }
    const TZoomWindow& Window() { return Engine().plotArea(1).ZoomWindow; }

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

    std::unique_ptr<DrawnFrame> frame;
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
        DrawnFrame& frame = Frame();
        const QImage before = frame.Picture();
        MouseDown(mbLeft, ssLeft, c.x, c.y);
        EXPECT_EQ(Doing() == Interaction::Ruler, c.ruler) << c.what;
        EXPECT_NE(Doing(), Interaction::ZoomRectangle) << c.what;
        if (!c.ruler) {
            EXPECT_EQ(DifferingPixels(before, frame.Picture()), 0) << c.what;
            EXPECT_TRUE(frame.Cursors.empty() || frame.Cursors.back() == TScreenCursor::Default)
                << c.what;
        }
        MouseUp(mbLeft, 0, c.x, c.y);
    }
}

TEST_F(ZoomRuler, OnTheLabelsOnlyCtrlPressStartsARectangle) {
    // Pixel margins put the labels inside the area but outside the plot rectangle.
    Frame({20, 90, 10, 80, 60, 40});
    const int labelX = kLeft + 20; // area starts at 224, plot at 284
    const int labelY = kBottom - 20;
    MouseDown(mbLeft, ssLeft, labelX, labelY);
    EXPECT_NE(Doing(), Interaction::Ruler);
    EXPECT_NE(Doing(), Interaction::ZoomRectangle);
    MouseUp(mbLeft, 0, labelX, labelY);

    MouseDown(mbLeft, ssCtrl | ssLeft, labelX, labelY);
    EXPECT_EQ(Doing(), Interaction::ZoomRectangle);
    MouseUp(mbLeft, 0, labelX, labelY);
    EXPECT_NE(Doing(), Interaction::ZoomRectangle);
}

TEST_F(ZoomRuler, ReadoutAtTwoTwoInTheAxisColours) {
    DrawnFrame& frame = Frame();
    frame.Offset = QPoint(100, 50);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_TRUE(ReadoutShows(frame, "5.00", "0.003", clBlue));
    EXPECT_EQ(frame.Cursors.back(), TScreenCursor::Cross);
    // Plot rectangle, right and bottom edges included, moved to the screen.
    EXPECT_EQ(frame.Confinement,
              QRect(kLeft + 100, kTop + 50, kRight - kLeft + 1, kBottom - kTop + 1));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
    EXPECT_EQ(frame.Cursors.back(), TScreenCursor::Default);
    EXPECT_TRUE(frame.Confinement.isNull());
}

TEST_F(ZoomRuler, RulerHeldBeyondThePlotShowsTheEdgeValues) {
    DrawnFrame& frame = Frame();
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    MouseMove(ssLeft, 5000, -300);
    EXPECT_TRUE(ReadoutShows(frame, "10.00", "1.000", clBlue));
    MouseMove(ssLeft, -5, 1000);
    EXPECT_TRUE(ReadoutShows(frame, "0.00", "-1.000", clBlue));
    MouseUp(mbLeft, 0, -5, 1000);
}

TEST_F(ZoomRuler, DrawingAndRemovingLeavesThePictureIdentical) {
    DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, true, clBtnFace});
    const QImage before = frame.Picture();

    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_GT(DifferingPixels(before, frame.Picture()), 0);
    for (int i = 0; i < 20; ++i) {
        MouseMove(ssLeft, kLeft + 13 * i, kTop + 11 * i);
    }
    MouseDown(mbRight, ssLeft, kLeft + 5, kTop + 5);
    MouseMove(ssLeft, kRight + 50, kBottom + 50);
    MouseUp(mbLeft, 0, kRight, kBottom);
    EXPECT_EQ(DifferingPixels(before, frame.Picture()), 0) << "ruler";

    // Ctrl released before the button: the rectangle goes, nothing is zoomed or repainted.
    MouseDown(mbLeft, ssCtrl | ssLeft, 300, 100);
    EXPECT_GT(DifferingPixels(before, frame.Picture()), 0);
    for (int i = 0; i < 10; ++i) {
        MouseMove(ssCtrl | ssLeft, 300 + 37 * i, 100 + 23 * i);
    }
    MouseDown(mbRight, ssCtrl | ssLeft, 650, 310);
    MouseMove(ssLeft, 700, 320);
    MouseUp(mbLeft, 0, 700, 320);
    EXPECT_EQ(DifferingPixels(before, frame.Picture()), 0) << "zoom rectangle";
    EXPECT_EQ(frame.Repaints, 0);
    EXPECT_DOUBLE_EQ(Window().XHigh, 1.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisZoomWindow.Low, 0.0);
}

TEST_F(ZoomRuler, ZoomRectangleShowsInTheRulerColourOverTheBackground) {
    for (TColor back : {clWhite, clBtnFace}) {
        DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, false, back});
        MouseDown(mbLeft, ssCtrl | ssLeft, 300, 100);
        MouseMove(ssCtrl | ssLeft, 500, 300);
        const Canvas& c = frame.EngineCanvas();
        for (const QPoint& p : {QPoint(400, 100), QPoint(500, 150), QPoint(400, 300)})
            EXPECT_EQ(c.Pixel(p.x(), p.y()), clBlue) << back << " at " << p.x() << "," << p.y();
        MouseUp(mbLeft, 0, 500, 300);
    }
}

TEST_F(ZoomRuler, RightClickCyclesTheReadoutBetweenLeftAndRightAxes) {
    DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, true});
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().readoutAxis(), 1);
    EXPECT_TRUE(ReadoutShows(frame, "5.00", "0.003", clBlue));
    MouseDown(mbRight, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().readoutAxis(), 4);
    EXPECT_TRUE(ReadoutShows(frame, "5.00", "50.2", clGreen));
    MouseDown(mbRight, ssLeft, kMiddleX, kMiddleY);
    EXPECT_EQ(Engine().readoutAxis(), 1);
    EXPECT_TRUE(ReadoutShows(frame, "5.00", "0.003", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, CtrlDragNarrowsTheViewAndACtrlClickRestoresIt) {
    DrawnFrame& frame = Frame();
    const int half = kLeft + (kRight - kLeft) / 2;
    CtrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame.Repaints, 1);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.Low, 0.0, 1e-9);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.High, 0.5, 0.002);
    EXPECT_NEAR(Axis(0).AxisMax, 5.0, 0.02); // the repaint shows the left half
    EXPECT_NEAR(Axis(1).AxisZoomWindow.Low, 0.0, 1e-9);
    EXPECT_NEAR(Axis(1).AxisZoomWindow.High, 1.0, 1e-9);
    EXPECT_EQ(Engine().lastZoomedArea(), 1);

    CtrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame.Repaints, 2);
    EXPECT_NEAR(Axis(0).AxisZoomWindow.High, 0.25, 0.002);
    EXPECT_NEAR(Window().XHigh, 0.25, 0.002);
    EXPECT_NEAR(Axis(0).AxisMax, 2.5, 0.02);

    CtrlDrag(400, 200, 401, 201);
    EXPECT_EQ(frame.Repaints, 3);
    EXPECT_DOUBLE_EQ(Axis(0).AxisMin, 0.0);
    EXPECT_DOUBLE_EQ(Axis(0).AxisMax, 10.0);
    EXPECT_DOUBLE_EQ(Window().XHigh, 1.0);
    EXPECT_EQ(Engine().lastZoomedArea(), 0);
}

TEST_F(ZoomRuler, YZoomStopsAtTheMaxZoomDepth) {
    Frame();
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
    DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, true});
    CtrlDrag(300, 100, 500, 300);
    ASSERT_LT(Axis(0).AxisMax, 10.0);
    ASSERT_GT(Axis(4).AxisMin, 0.0);
    Engine().unzoom(0);
    EXPECT_EQ(Engine().lastZoomedArea(), 0);
    frame.Paint();
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
    DrawnFrame& frame = Frame({20, 90, 10, 80, 60, 40});
    CtrlDrag(kLeft + 5, kTop + 10, kLeft + 40, kTop + 100);
    EXPECT_EQ(frame.Repaints, 0);
    EXPECT_DOUBLE_EQ(Axis(0).AxisZoomWindow.Low, 0.0);
    EXPECT_DOUBLE_EQ(Axis(1).AxisZoomWindow.High, 1.0);
    EXPECT_EQ(Engine().lastZoomedArea(), 0);

    Engine().settings().set(Setting::DisableZoomAutoredraw, 1);
    CtrlDrag(400, 100, 600, 200);
    EXPECT_EQ(frame.Repaints, 0);
    EXPECT_GT(Axis(0).AxisZoomWindow.Low, 0.0);
    EXPECT_LT(Axis(1).AxisZoomWindow.High, 1.0);
    EXPECT_EQ(Engine().lastZoomedArea(), 1);
}

TEST_F(ZoomRuler, ANewPictureTakesOverAnInterruptedDrag) {
    DrawnFrame& frame = Frame();
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    ASSERT_EQ(Doing(), Interaction::Ruler);
    frame.Paint();
    EXPECT_EQ(frame.Invalidations, 1);
    EXPECT_NE(Doing(), Interaction::Ruler);
    EXPECT_EQ(frame.Cursors.back(), TScreenCursor::Default);
    const QImage fresh = frame.Picture();
    MouseMove(ssLeft, 300, 300);
    MouseUp(mbLeft, 0, 300, 300);
    EXPECT_EQ(DifferingPixels(fresh, frame.Picture()), 0);
}

TEST_F(ZoomRuler, SetupRulerColourFlagsAndAHiddenReadout) {
    DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, false, clWhite, 0.5});
    Engine().setupRuler(clRed, -1, -1, 1, 2); // mode 2, no snapping, no readout
    const QImage before = frame.Picture();
    MouseDown(mbLeft, ssLeft, kMiddleX + 16, kMiddleY);
    EXPECT_EQ(Doing(), Interaction::Ruler);
    EXPECT_EQ(Engine().rulerPosition(), QPoint(kMiddleX + 16, kMiddleY));
    EXPECT_EQ(DifferingPixels(before, frame.Picture()), 0);
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);

    MouseDown(mbLeft, ssCtrl | ssLeft, 300, 100);
    MouseMove(ssCtrl | ssLeft, 500, 300);
    EXPECT_EQ(frame.EngineCanvas().Pixel(400, 100), clRed);
    MouseUp(mbLeft, 0, 500, 300);
}

TEST_F(ZoomRuler, MouseRecordsHoldPixelsAndWorldValues) {
    Frame({20, 90, 10, 80, 0, 0, true});
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    for (TMouseInfoSlot slot : {miPress, miRelease, miReference, miMove}) {
        const TMouseInfo& info = Engine().mouseInfo(slot);
        EXPECT_EQ(info.Area, 1);
        EXPECT_EQ(info.PixelX, kMiddleX);
        EXPECT_NEAR(info.WorldX, 5.0, 1e-9);
        EXPECT_NEAR(info.WorldY[0], 0.003, 1e-3);
        EXPECT_DOUBLE_EQ(info.WorldY[1], 0.0); // Y2 not drawn
        EXPECT_NEAR(info.WorldY[3], 50.15, 0.01);
    }
    MouseMove(ssLeft, kRight - 1, kMiddleY);
    EXPECT_EQ(Engine().mouseInfo(miMove).PixelX, kRight - 1);
    EXPECT_EQ(Engine().mouseInfo(miPress).PixelX, kMiddleX);
    MouseUp(mbLeft, 0, kRight - 1, kMiddleY);
    EXPECT_EQ(Engine().mouseInfo(miRelease).PixelX, kRight - 1);
}

TEST_F(ZoomRuler, SnapsToTheMinimumStepsWithOneYAxis) {
    DrawnFrame& frame = Frame({20, 90, 10, 80, 0, 0, false, clWhite, 0.5});
    ASSERT_DOUBLE_EQ(Axis(0).MinimumStep, 0.5);
    // x = 5.2 snaps to 5.0, y = 0.003 to 0.0 (its pixel is the middle row, 214.5 rounded).
    MouseDown(mbLeft, ssLeft, kMiddleX + 16, kMiddleY);
    EXPECT_EQ(Engine().rulerPosition().x(), kMiddleX);
    EXPECT_EQ(Engine().rulerPosition().y(), 214);
    EXPECT_TRUE(ReadoutShows(frame, "5.0", "0.0", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);

    // With a second y axis the y position is left as it is.
    Frame({20, 90, 10, 80, 0, 0, true, clWhite, 0.5});
    MouseDown(mbLeft, ssLeft, kMiddleX + 16, kMiddleY - 3);
    EXPECT_EQ(Engine().rulerPosition().x(), kMiddleX);
    EXPECT_EQ(Engine().rulerPosition().y(), kMiddleY - 3);
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, ReadoutAlignedRightOrCentredOnItsSeparator) {
    DrawnFrame& frame = Frame();
    const Canvas& c = frame.EngineCanvas();
    Engine().setupRuler(clBlue, 600, 2, -1, 27);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    const int rightAligned = 600 - c.TextWidth("5.00 / 0.003");
    EXPECT_TRUE(TextAt(c, rightAligned, 2, "5.00 / ", clRed));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);

    Engine().setupRuler(clBlue, 600, 2, 0, 27);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    const int centred = 600 - c.TextWidth("5.00 / 5.00") / 2;
    EXPECT_TRUE(TextAt(c, centred, 2, "5.00 / ", clRed));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, LogarithmicAxisReadoutInSignificantDigits) {
    DrawnFrame::Layout layout;
    layout.LogX = true;
    DrawnFrame& frame = Frame(layout);
    ASSERT_TRUE(Axis(0).AxisLog);
    MouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY); // x = 10, the middle of 1..100
    const std::string x = FormatSignificant(Axis(0).LabelDecimals, 10.0);
    EXPECT_EQ(x.substr(0, 2), "10");
    EXPECT_TRUE(ReadoutShows(frame, x, "0.003", clBlue));
    MouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

// A picture of two areas side by side, each with an x axis 0..10 and a y axis -1..1.
void DrawTwoAreas(plot::PlotEngine& engine) {
    engine.startGraph(clWhite, clBlack, 1.0);
    for (int left : {0, 50}) {
        engine.setPlotArea({left, left + 50, 10, 80, 60, 10, 0, 0});
        engine.drawAxis({.kind = plot::AxisKind::X, .start = 0, .end = 10});
        engine.drawAxis({.kind = plot::AxisKind::Y, .start = -1, .end = 1});
    }
    engine.finishGraph();
}

TEST(Unzoom, ResetsOneAreaOrAll) {
    ImageEngine picture(1122, 476);
    plot::PlotEngine& engine = picture.engine;
    DrawTwoAreas(engine);
    CtrlDrag(engine, {150, 100}, {300, 300}); // in area 1, plot 60..551
    DrawTwoAreas(engine);
    CtrlDrag(engine, {700, 100}, {900, 300}); // in area 2, plot 621..1112
    DrawTwoAreas(engine);
    const auto zoomed = [&](int area) { return engine.plotArea(area).ZoomWindow.XHigh < 1.0; };
    ASSERT_TRUE(zoomed(1) && zoomed(2));
    EXPECT_EQ(engine.lastZoomedArea(), 2);

    engine.unzoom(1);
    EXPECT_FALSE(zoomed(1));
    EXPECT_DOUBLE_EQ(engine.plotArea(1).AxisRecord[1].AxisZoomWindow.Low, 0.0);
    EXPECT_DOUBLE_EQ(engine.plotArea(1).AxisRecord[1].DrawnWindow.High, 1.0);
    EXPECT_TRUE(zoomed(2));
    EXPECT_EQ(engine.lastZoomedArea(), 2);
    engine.unzoom(9); // no such area
    EXPECT_TRUE(zoomed(2));
    engine.unzoom(2);
    EXPECT_EQ(engine.lastZoomedArea(), 0);

    CtrlDrag(engine, {700, 100}, {900, 300});
    DrawTwoAreas(engine);
    ASSERT_TRUE(zoomed(2));
    engine.unzoom(0);
    for (int area = 1; area <= kMaxPlotAreas; ++area) {
        EXPECT_DOUBLE_EQ(engine.plotArea(area).ZoomWindow.XLow, 0.0);
        EXPECT_DOUBLE_EQ(engine.plotArea(area).ZoomWindow.YHigh, 1.0);
        EXPECT_DOUBLE_EQ(engine.plotArea(area).AxisRecord[1].AxisZoomWindow.High, 1.0);
    }
    EXPECT_EQ(engine.lastZoomedArea(), 0);
}

// Each host has its own engine: zoom, ruler and settings of one leave the other alone.
TEST(EngineInstances, TwoFramesKeepTheirOwnZoomRulerAndSettings) {
    DrawnFrame zoomed;
    DrawnFrame other;
    const QImage untouched = other.Picture();
    other.Engine.settings().set(Setting::MaxZoomDepth, 10);

    CtrlDrag(zoomed.Engine, {kLeft, kTop}, {kMiddleX, kBottom});
    zoomed.Engine.mouseDown(mbLeft, ssLeft, kMiddleX, kMiddleY);
    ASSERT_EQ(zoomed.Engine.interaction(), Interaction::Ruler);
    ASSERT_LT(zoomed.Engine.plotArea(1).ZoomWindow.XHigh, 0.6);

    other.Paint();
    EXPECT_EQ(DifferingPixels(untouched, other.Picture()), 0);
    EXPECT_EQ(other.Engine.interaction(), Interaction::Idle);
    EXPECT_DOUBLE_EQ(other.Engine.plotArea(1).ZoomWindow.XHigh, 1.0);
    EXPECT_EQ(zoomed.Engine.settings().value(Setting::MaxZoomDepth), 1000.0);
    EXPECT_EQ(zoomed.Engine.interaction(), Interaction::Ruler)
        << "the other's repaint ends no drag";
    zoomed.Engine.mouseUp(mbLeft, 0, kMiddleX, kMiddleY);
}

} // namespace
