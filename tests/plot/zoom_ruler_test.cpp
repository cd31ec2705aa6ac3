// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/readout_numbers.h"
#include "tests/plot/axis_picture.h"
#include "tests/plot/drawn_frame.h"
#include "tests/plot/plot_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace plot {

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
    DrawnFrame& newFrame(DrawnFrame::Layout layout = {}) {
        current = std::make_unique<DrawnFrame>(layout);
        return *current;
    }
    plot::PlotEngine& engine() { return current->engine; }

    void mouseDown(MouseButton button, int shift, int x, int y) {
        engine().mouseDown(button, shift, x, y);
    }
    void mouseMove(int shift, int x, int y) { engine().mouseMove(shift, x, y); }
    void mouseUp(MouseButton button, int shift, int x, int y) {
        engine().mouseUp(button, shift, x, y);
    }
    void ctrlDrag(int x0, int y0, int x1, int y1) { plot::ctrlDrag(engine(), {x0, y0}, {x1, y1}); }
    Interaction doing() { return engine().interaction(); }

    const AxisRecord& axis(int n) { return engine().plotArea(1).axisRecord[n]; }
    const ZoomWindow& window() { return engine().plotArea(1).zoomWindow; }

    // The readout's x text + " / " in the x-axis colour and the y text right after it.
    static ::testing::AssertionResult readoutShows(DrawnFrame& frame, const std::string& x,
                                                   const std::string& y, Color yColour) {
        const Canvas& c = frame.engineCanvas();
        const std::string head = x + " / ";
        const auto first = textAt(c, 2, 2, head, kRed);
        if (!first) {
            return first;
        }
        return textAt(c, 2 + c.textWidth(head), 2, y, yColour);
    }

    std::unique_ptr<DrawnFrame> current;
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
        DrawnFrame& frame = newFrame();
        const QImage before = frame.picture();
        mouseDown(MouseButton::Left, kLeftButtonHeld, c.x, c.y);
        EXPECT_EQ(doing() == Interaction::Ruler, c.ruler) << c.what;
        EXPECT_NE(doing(), Interaction::ZoomRectangle) << c.what;
        if (!c.ruler) {
            EXPECT_EQ(differingPixels(before, frame.picture()), 0) << c.what;
            EXPECT_TRUE(frame.cursors.empty() || frame.cursors.back() == ScreenCursor::Default)
                << c.what;
        }
        mouseUp(MouseButton::Left, 0, c.x, c.y);
    }
}

TEST_F(ZoomRuler, OnTheLabelsOnlyCtrlPressStartsARectangle) {
    // Pixel margins put the labels inside the area but outside the plot rectangle.
    newFrame({20, 90, 10, 80, 60, 40});
    const int labelX = kLeft + 20; // area starts at 224, plot at 284
    const int labelY = kBottom - 20;
    mouseDown(MouseButton::Left, kLeftButtonHeld, labelX, labelY);
    EXPECT_NE(doing(), Interaction::Ruler);
    EXPECT_NE(doing(), Interaction::ZoomRectangle);
    mouseUp(MouseButton::Left, 0, labelX, labelY);

    mouseDown(MouseButton::Left, kCtrlKey | kLeftButtonHeld, labelX, labelY);
    EXPECT_EQ(doing(), Interaction::ZoomRectangle);
    mouseUp(MouseButton::Left, 0, labelX, labelY);
    EXPECT_NE(doing(), Interaction::ZoomRectangle);
}

TEST_F(ZoomRuler, ReadoutAtTwoTwoInTheAxisColours) {
    DrawnFrame& frame = newFrame();
    frame.offset = QPoint(100, 50);
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    EXPECT_TRUE(readoutShows(frame, "5.00", "0.003", kBlue));
    EXPECT_EQ(frame.cursors.back(), ScreenCursor::Cross);
    // Plot rectangle, right and bottom edges included, moved to the screen.
    EXPECT_EQ(frame.confinement,
              QRect(kLeft + 100, kTop + 50, kRight - kLeft + 1, kBottom - kTop + 1));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
    EXPECT_EQ(frame.cursors.back(), ScreenCursor::Default);
    EXPECT_TRUE(frame.confinement.isNull());
}

TEST_F(ZoomRuler, RulerHeldBeyondThePlotShowsTheEdgeValues) {
    DrawnFrame& frame = newFrame();
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    mouseMove(kLeftButtonHeld, 5000, -300);
    EXPECT_TRUE(readoutShows(frame, "10.00", "1.000", kBlue));
    mouseMove(kLeftButtonHeld, -5, 1000);
    EXPECT_TRUE(readoutShows(frame, "0.00", "-1.000", kBlue));
    mouseUp(MouseButton::Left, 0, -5, 1000);
}

TEST_F(ZoomRuler, DrawingAndRemovingLeavesThePictureIdentical) {
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, true, kButtonFace});
    const QImage before = frame.picture();

    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    EXPECT_GT(differingPixels(before, frame.picture()), 0);
    for (int i = 0; i < 20; ++i) {
        mouseMove(kLeftButtonHeld, kLeft + 13 * i, kTop + 11 * i);
    }
    mouseDown(MouseButton::Right, kLeftButtonHeld, kLeft + 5, kTop + 5);
    mouseMove(kLeftButtonHeld, kRight + 50, kBottom + 50);
    mouseUp(MouseButton::Left, 0, kRight, kBottom);
    EXPECT_EQ(differingPixels(before, frame.picture()), 0) << "ruler";

    // Ctrl released before the button: the rectangle goes, nothing is zoomed or repainted.
    mouseDown(MouseButton::Left, kCtrlKey | kLeftButtonHeld, 300, 100);
    EXPECT_GT(differingPixels(before, frame.picture()), 0);
    for (int i = 0; i < 10; ++i) {
        mouseMove(kCtrlKey | kLeftButtonHeld, 300 + 37 * i, 100 + 23 * i);
    }
    mouseDown(MouseButton::Right, kCtrlKey | kLeftButtonHeld, 650, 310);
    mouseMove(kLeftButtonHeld, 700, 320);
    mouseUp(MouseButton::Left, 0, 700, 320);
    EXPECT_EQ(differingPixels(before, frame.picture()), 0) << "zoom rectangle";
    EXPECT_EQ(frame.repaints, 0);
    EXPECT_DOUBLE_EQ(window().xHigh, 1.0);
    EXPECT_DOUBLE_EQ(axis(1).axisZoomWindow.low, 0.0);
}

TEST_F(ZoomRuler, ZoomRectangleShowsInTheRulerColourOverTheBackground) {
    for (Color back : {kWhite, kButtonFace}) {
        DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, false, back});
        mouseDown(MouseButton::Left, kCtrlKey | kLeftButtonHeld, 300, 100);
        mouseMove(kCtrlKey | kLeftButtonHeld, 500, 300);
        const Canvas& c = frame.engineCanvas();
        for (const QPoint& p : {QPoint(400, 100), QPoint(500, 150), QPoint(400, 300)})
            EXPECT_EQ(c.pixel(p.x(), p.y()), kBlue) << back << " at " << p.x() << "," << p.y();
        mouseUp(MouseButton::Left, 0, 500, 300);
    }
}

TEST_F(ZoomRuler, RightClickCyclesTheReadoutBetweenLeftAndRightAxes) {
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, true});
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    EXPECT_EQ(engine().readoutAxis(), 1);
    EXPECT_TRUE(readoutShows(frame, "5.00", "0.003", kBlue));
    mouseDown(MouseButton::Right, kLeftButtonHeld, kMiddleX, kMiddleY);
    EXPECT_EQ(engine().readoutAxis(), 4);
    EXPECT_TRUE(readoutShows(frame, "5.00", "50.2", kGreen));
    mouseDown(MouseButton::Right, kLeftButtonHeld, kMiddleX, kMiddleY);
    EXPECT_EQ(engine().readoutAxis(), 1);
    EXPECT_TRUE(readoutShows(frame, "5.00", "0.003", kBlue));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, CtrlDragNarrowsTheViewAndACtrlClickRestoresIt) {
    DrawnFrame& frame = newFrame();
    const int half = kLeft + (kRight - kLeft) / 2;
    ctrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame.repaints, 1);
    EXPECT_NEAR(axis(0).axisZoomWindow.low, 0.0, 1e-9);
    EXPECT_NEAR(axis(0).axisZoomWindow.high, 0.5, 0.002);
    EXPECT_NEAR(axis(0).axisMax, 5.0, 0.02); // the repaint shows the left half
    EXPECT_NEAR(axis(1).axisZoomWindow.low, 0.0, 1e-9);
    EXPECT_NEAR(axis(1).axisZoomWindow.high, 1.0, 1e-9);
    EXPECT_EQ(engine().lastZoomedArea(), 1);

    ctrlDrag(kLeft, kTop, half, kBottom);
    EXPECT_EQ(frame.repaints, 2);
    EXPECT_NEAR(axis(0).axisZoomWindow.high, 0.25, 0.002);
    EXPECT_NEAR(window().xHigh, 0.25, 0.002);
    EXPECT_NEAR(axis(0).axisMax, 2.5, 0.02);

    ctrlDrag(400, 200, 401, 201);
    EXPECT_EQ(frame.repaints, 3);
    EXPECT_DOUBLE_EQ(axis(0).axisMin, 0.0);
    EXPECT_DOUBLE_EQ(axis(0).axisMax, 10.0);
    EXPECT_DOUBLE_EQ(window().xHigh, 1.0);
    EXPECT_EQ(engine().lastZoomedArea(), 0);
}

TEST_F(ZoomRuler, YZoomStopsAtTheMaxZoomDepth) {
    newFrame();
    for (int i = 0; i < 6; ++i) {
        ctrlDrag(kLeft + 10, kMiddleY - 2, kRight - 10, kMiddleY + 2);
        const FractionWindow& y = axis(1).axisZoomWindow;
        EXPECT_GE(y.high - y.low, 0.001 - 1e-12) << "zoom " << i;
        EXPECT_GE(window().yHigh - window().yLow, 0.001 - 1e-12) << "zoom " << i;
    }
    const FractionWindow& y = axis(1).axisZoomWindow;
    EXPECT_NEAR(y.high - y.low, 0.001, 1e-12);
    EXPECT_NEAR(axis(1).axisMax - axis(1).axisMin, 0.002, 1e-9);
}

TEST_F(ZoomRuler, UnzoomAllRestoresTheFullRanges) {
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, true});
    ctrlDrag(300, 100, 500, 300);
    ASSERT_LT(axis(0).axisMax, 10.0);
    ASSERT_GT(axis(4).axisMin, 0.0);
    engine().unzoom(0);
    EXPECT_EQ(engine().lastZoomedArea(), 0);
    frame.paint();
    EXPECT_DOUBLE_EQ(axis(0).axisMin, 0.0);
    EXPECT_DOUBLE_EQ(axis(0).axisMax, 10.0);
    EXPECT_DOUBLE_EQ(axis(1).axisMin, -1.0);
    EXPECT_DOUBLE_EQ(axis(1).axisMax, 1.0);
    EXPECT_DOUBLE_EQ(axis(4).axisMin, 0.0);
    EXPECT_DOUBLE_EQ(axis(4).axisMax, 100.0);
    EXPECT_DOUBLE_EQ(window().xLow, 0.0);
    EXPECT_DOUBLE_EQ(window().yHigh, 1.0);
}

TEST_F(ZoomRuler, ABandBeyondTheAxisOrWithoutAutoredraw) {
    // Margins leave room left of the plot: a band there lies wholly beyond the x axis.
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 60, 40});
    ctrlDrag(kLeft + 5, kTop + 10, kLeft + 40, kTop + 100);
    EXPECT_EQ(frame.repaints, 0);
    EXPECT_DOUBLE_EQ(axis(0).axisZoomWindow.low, 0.0);
    EXPECT_DOUBLE_EQ(axis(1).axisZoomWindow.high, 1.0);
    EXPECT_EQ(engine().lastZoomedArea(), 0);

    engine().settings().set(Setting::DisableZoomAutoredraw, 1);
    ctrlDrag(400, 100, 600, 200);
    EXPECT_EQ(frame.repaints, 0);
    EXPECT_GT(axis(0).axisZoomWindow.low, 0.0);
    EXPECT_LT(axis(1).axisZoomWindow.high, 1.0);
    EXPECT_EQ(engine().lastZoomedArea(), 1);
}

TEST_F(ZoomRuler, ANewPictureTakesOverAnInterruptedDrag) {
    DrawnFrame& frame = newFrame();
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    ASSERT_EQ(doing(), Interaction::Ruler);
    frame.paint();
    EXPECT_EQ(frame.invalidations, 1);
    EXPECT_NE(doing(), Interaction::Ruler);
    EXPECT_EQ(frame.cursors.back(), ScreenCursor::Default);
    const QImage fresh = frame.picture();
    mouseMove(kLeftButtonHeld, 300, 300);
    mouseUp(MouseButton::Left, 0, 300, 300);
    EXPECT_EQ(differingPixels(fresh, frame.picture()), 0);
}

TEST_F(ZoomRuler, SetupRulerColourFlagsAndAHiddenReadout) {
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, false, kWhite, 0.5});
    engine().setupRuler(kRed, -1, -1, 1, 2); // mode 2, no snapping, no readout
    const QImage before = frame.picture();
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX + 16, kMiddleY);
    EXPECT_EQ(doing(), Interaction::Ruler);
    EXPECT_EQ(engine().rulerPosition(), QPoint(kMiddleX + 16, kMiddleY));
    EXPECT_EQ(differingPixels(before, frame.picture()), 0);
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);

    mouseDown(MouseButton::Left, kCtrlKey | kLeftButtonHeld, 300, 100);
    mouseMove(kCtrlKey | kLeftButtonHeld, 500, 300);
    EXPECT_EQ(frame.engineCanvas().pixel(400, 100), kRed);
    mouseUp(MouseButton::Left, 0, 500, 300);
}

TEST_F(ZoomRuler, MouseRecordsHoldPixelsAndWorldValues) {
    newFrame({20, 90, 10, 80, 0, 0, true});
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    for (MouseInfoSlot slot : {kPressInfo, kReleaseInfo, kReferenceInfo, kMoveInfo}) {
        const MouseInfo& info = engine().mouseInfo(slot);
        EXPECT_EQ(info.area, 1);
        EXPECT_EQ(info.pixelX, kMiddleX);
        EXPECT_NEAR(info.worldX, 5.0, 1e-9);
        EXPECT_NEAR(info.worldY[0], 0.003, 1e-3);
        EXPECT_DOUBLE_EQ(info.worldY[1], 0.0); // Y2 not drawn
        EXPECT_NEAR(info.worldY[3], 50.15, 0.01);
    }
    mouseMove(kLeftButtonHeld, kRight - 1, kMiddleY);
    EXPECT_EQ(engine().mouseInfo(kMoveInfo).pixelX, kRight - 1);
    EXPECT_EQ(engine().mouseInfo(kPressInfo).pixelX, kMiddleX);
    mouseUp(MouseButton::Left, 0, kRight - 1, kMiddleY);
    EXPECT_EQ(engine().mouseInfo(kReleaseInfo).pixelX, kRight - 1);
}

TEST_F(ZoomRuler, SnapsToTheMinimumStepsWithOneYAxis) {
    DrawnFrame& frame = newFrame({20, 90, 10, 80, 0, 0, false, kWhite, 0.5});
    ASSERT_DOUBLE_EQ(axis(0).minimumStep, 0.5);
    // x = 5.2 snaps to 5.0, y = 0.003 to 0.0 (its pixel is the middle row, 214.5 rounded).
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX + 16, kMiddleY);
    EXPECT_EQ(engine().rulerPosition().x(), kMiddleX);
    EXPECT_EQ(engine().rulerPosition().y(), 214);
    EXPECT_TRUE(readoutShows(frame, "5.0", "0.0", kBlue));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);

    // With a second y axis the y position is left as it is.
    newFrame({20, 90, 10, 80, 0, 0, true, kWhite, 0.5});
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX + 16, kMiddleY - 3);
    EXPECT_EQ(engine().rulerPosition().x(), kMiddleX);
    EXPECT_EQ(engine().rulerPosition().y(), kMiddleY - 3);
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, ReadoutAlignedRightOrCentredOnItsSeparator) {
    DrawnFrame& frame = newFrame();
    const Canvas& c = frame.engineCanvas();
    engine().setupRuler(kBlue, 600, 2, -1, 27);
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    const int rightAligned = 600 - c.textWidth("5.00 / 0.003");
    EXPECT_TRUE(textAt(c, rightAligned, 2, "5.00 / ", kRed));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);

    engine().setupRuler(kBlue, 600, 2, 0, 27);
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    const int centred = 600 - c.textWidth("5.00 / 5.00") / 2;
    EXPECT_TRUE(textAt(c, centred, 2, "5.00 / ", kRed));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
}

TEST_F(ZoomRuler, LogarithmicAxisReadoutInSignificantDigits) {
    DrawnFrame::Layout layout;
    layout.logX = true;
    DrawnFrame& frame = newFrame(layout);
    ASSERT_TRUE(axis(0).axisLog);
    mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX,
              kMiddleY); // x = 10, the middle of 1..100
    const std::string x = formatSignificant(axis(0).labelDecimals, 10.0);
    EXPECT_EQ(x.substr(0, 2), "10");
    EXPECT_TRUE(readoutShows(frame, x, "0.003", kBlue));
    mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
}

// A picture of two areas side by side, each with an x axis 0..10 and a y axis -1..1.
void drawTwoAreas(plot::PlotEngine& engine) {
    engine.startGraph(kWhite, kBlack, 1.0);
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
    drawTwoAreas(engine);
    ctrlDrag(engine, {150, 100}, {300, 300}); // in area 1, plot 60..551
    drawTwoAreas(engine);
    ctrlDrag(engine, {700, 100}, {900, 300}); // in area 2, plot 621..1112
    drawTwoAreas(engine);
    const auto zoomed = [&](int area) { return engine.plotArea(area).zoomWindow.xHigh < 1.0; };
    ASSERT_TRUE(zoomed(1) && zoomed(2));
    EXPECT_EQ(engine.lastZoomedArea(), 2);

    engine.unzoom(1);
    EXPECT_FALSE(zoomed(1));
    EXPECT_DOUBLE_EQ(engine.plotArea(1).axisRecord[1].axisZoomWindow.low, 0.0);
    EXPECT_DOUBLE_EQ(engine.plotArea(1).axisRecord[1].drawnWindow.high, 1.0);
    EXPECT_TRUE(zoomed(2));
    EXPECT_EQ(engine.lastZoomedArea(), 2);
    engine.unzoom(9); // no such area
    EXPECT_TRUE(zoomed(2));
    engine.unzoom(2);
    EXPECT_EQ(engine.lastZoomedArea(), 0);

    ctrlDrag(engine, {700, 100}, {900, 300});
    drawTwoAreas(engine);
    ASSERT_TRUE(zoomed(2));
    engine.unzoom(0);
    for (int area = 1; area <= kMaxPlotAreas; ++area) {
        EXPECT_DOUBLE_EQ(engine.plotArea(area).zoomWindow.xLow, 0.0);
        EXPECT_DOUBLE_EQ(engine.plotArea(area).zoomWindow.yHigh, 1.0);
        EXPECT_DOUBLE_EQ(engine.plotArea(area).axisRecord[1].axisZoomWindow.high, 1.0);
    }
    EXPECT_EQ(engine.lastZoomedArea(), 0);
}

// Each host has its own engine: zoom, ruler and settings of one leave the other alone.
TEST(EngineInstances, TwoFramesKeepTheirOwnZoomRulerAndSettings) {
    DrawnFrame zoomed;
    DrawnFrame other;
    const QImage untouched = other.picture();
    other.engine.settings().set(Setting::MaxZoomDepth, 10);

    ctrlDrag(zoomed.engine, {kLeft, kTop}, {kMiddleX, kBottom});
    zoomed.engine.mouseDown(MouseButton::Left, kLeftButtonHeld, kMiddleX, kMiddleY);
    ASSERT_EQ(zoomed.engine.interaction(), Interaction::Ruler);
    ASSERT_LT(zoomed.engine.plotArea(1).zoomWindow.xHigh, 0.6);

    other.paint();
    EXPECT_EQ(differingPixels(untouched, other.picture()), 0);
    EXPECT_EQ(other.engine.interaction(), Interaction::Idle);
    EXPECT_DOUBLE_EQ(other.engine.plotArea(1).zoomWindow.xHigh, 1.0);
    EXPECT_EQ(zoomed.engine.settings().value(Setting::MaxZoomDepth), 1000.0);
    EXPECT_EQ(zoomed.engine.interaction(), Interaction::Ruler)
        << "the other's repaint ends no drag";
    zoomed.engine.mouseUp(MouseButton::Left, 0, kMiddleX, kMiddleY);
}

} // namespace

} // namespace plot
