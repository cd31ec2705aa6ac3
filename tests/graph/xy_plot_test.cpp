// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/xy_plot.h"

#include "tests/plot/fake_print_target.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// Counts the paints the control receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class XyPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot.resize(1122, 476);
        plot::PlotAreaLayout area = plot.areaLayout();
        area.leftPercent = 20;
        plot.setAreaLayout(area);
        plot.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
        settle();
    }

    // A repaint asked for within a screen refresh of the last one comes at the next refresh.
    void settle() {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !plot.repaintPending(); }, 2000));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QImage painted() {
        settle();
        return plot.picture().copy();
    }

    void addSeries(int trace, int count, double amplitude) {
        for (int i = 0; i < count; ++i)
            plot.addPoint(trace, i, 10e6 + amplitude * std::sin(i * 0.1));
    }

    void sendMouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                   Qt::KeyboardModifiers keys, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(plot.mapToGlobal(at)), button, held, keys);
        QCoreApplication::sendEvent(&plot, &event);
    }

    // A left-button drag from one point to another, with the given keys held throughout.
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers keys) {
        sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, keys, from);
        sendMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, keys, (from + to) / 2);
        sendMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, keys, to);
        sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, keys, to);
    }

    // Pixels of `Colour` in the columns FromX .. ToX - 1 (the whole width by default).
    static int countColour(const QImage& image, plot::Color colour, int fromX = 0, int toX = -1) {
        if (toX < 0)
            toX = image.width();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = fromX; x < toX; ++x)
                n += image.pixel(x, y) == plot::toQRgb(colour) ? 1 : 0;
        return n;
    }

    // Changes the settings of the x, left and right axis in place.
    template <typename Change> void changeAxes(Change change) {
        graph::AxisSettings x = plot.xAxis();
        graph::AxisSettings left = plot.leftAxis();
        graph::AxisSettings right = plot.rightAxis();
        change(x, left, right);
        plot.setXAxis(x);
        plot.setLeftAxis(left);
        plot.setRightAxis(right);
    }

    graph::XyPlot plot;
};

TEST_F(XyPlotTest, TraceOperations) {
    EXPECT_EQ(plot.addPoint(0, 1, 1), -1);
    EXPECT_EQ(plot.addTrace(false, {}), 0);
    EXPECT_EQ(plot.addPoint(5, 1, 1), -1);
    EXPECT_EQ(plot.addPoint(-1, 1, 1), -1);
    EXPECT_EQ(plot.addPoint(0, 1, 1), 1);
    EXPECT_EQ(plot.addPoint(0, 2, 3), 2);

    graph::PointArray given{{1, 2}, {3, 4}, {5, 6}};
    EXPECT_EQ(plot.addTrace(true, given), 1);
    given.add({7, 8});
    ASSERT_EQ(plot.traces().size(), 2u);
    const graph::Trace& added = plot.traces()[1];
    EXPECT_EQ(added.points.size(), 3u);
    EXPECT_TRUE(added.rightAxis);
    EXPECT_EQ(added.colour, plot::kBlue);
    EXPECT_EQ(added.symbol, 1);
    EXPECT_TRUE(added.lineOn && added.symbolOn && added.visible);
    EXPECT_FALSE(plot.traces()[0].rightAxis);

    plot.traces()[0].colour = plot::kRed;
    plot.clearTrace(0);
    plot.clearTrace(2);
    plot.clearTrace(-1);
    ASSERT_EQ(plot.traces().size(), 2u);
    EXPECT_TRUE(plot.traces()[0].points.empty());
    EXPECT_EQ(plot.traces()[0].colour, plot::kRed);
    EXPECT_EQ(plot.traces()[1].points.size(), 3u);
    EXPECT_EQ(plot.addPoint(0, 9, 9), 1);

    plot.clearAllTraces();
    EXPECT_TRUE(plot.traces().empty());
    EXPECT_EQ(plot.addPoint(0, 1, 1), -1);
    EXPECT_EQ(plot.addTrace(false, {}), 0);
}

TEST_F(XyPlotTest, ReadingsFasterThanTheScreenArePaintedOncePerRefreshTheLastOneIncluded) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer paints slower than the screen refreshes: nothing to merge";
#endif
    plot.addTrace(false, {});
    PaintCounter counter;
    plot.installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    int added = 0;
    while (clock.elapsed() < 300) {
        plot.addPoint(0, added, added % 7);
        ++added;
        QCoreApplication::processEvents();
    }
    const double refreshes = clock.elapsed() * plot.screen()->refreshRate() / 1000;
    EXPECT_GT(added, 2 * refreshes);
    EXPECT_LE(counter.paints, refreshes + 2);

    settle();
    const QImage shown = plot.picture().copy();
    plot.repaintNow();
    EXPECT_EQ(shown, plot.picture());
}

TEST_F(XyPlotTest, GridSwitchesRepaintCaptionsWaitAndRequestsMerge) {
    PaintCounter counter;
    plot.installEventFilter(&counter);

    plot.setXGridOn(true);
    settle();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_TRUE(plot.xGridOn());
    plot.setLeftGridOn(true);
    plot.setRightGridOn(true);
    settle();
    EXPECT_EQ(counter.paints, 2);

    const QImage before = plot.picture().copy();
    changeAxes([](auto& x, auto& left, auto&) {
        x.caption = "Time/min";
        left.caption = "f/MHz";
    });
    settle();
    EXPECT_EQ(counter.paints, 2);
    EXPECT_EQ(plot.picture(), before);

    plot.addTrace(false, {});
    for (int i = 0; i < 50; ++i)
        plot.addPoint(0, i, i * i);
    settle();
    EXPECT_EQ(counter.paints, 3);
    EXPECT_NE(plot.picture(), before);

    // The new caption is in the picture now: it differs from one drawn with the old caption.
    const QImage withNewCaption = plot.picture().copy();
    changeAxes([](auto& x, auto&, auto&) { x.caption = "X-Axis"; });
    plot.setXGridOn(true);
    EXPECT_NE(painted(), withNewCaption);
}

TEST_F(XyPlotTest, RightAxisOnlyTraceDrawsNoLeftAxis) {
    changeAxes([](auto&, auto& left, auto& right) {
        left.colour = plot::kRed;
        right.colour = plot::kLime;
    });
    plot.addTrace(true, {});
    addSeries(0, 100, 5);
    const QImage rightOnly = painted();
    EXPECT_EQ(countColour(rightOnly, plot::kRed), 0);
    // The right axis, its labels and its caption stand right of the plot, nothing of it left.
    const int middle = rightOnly.width() / 2;
    EXPECT_GT(countColour(rightOnly, plot::kLime, middle), 100);
    EXPECT_EQ(countColour(rightOnly, plot::kLime, 0, middle), 0);

    plot.addTrace(false, {});
    addSeries(1, 100, 3);
    const QImage both = painted();
    EXPECT_GT(countColour(both, plot::kRed), 100);
    EXPECT_GT(countColour(both, plot::kLime), 100);
}

TEST_F(XyPlotTest, RightTracesAreScaledByTheRightFactor) {
    // Scaling the values by the right axis' factor must draw the same as scaled values.
    graph::PointArray values, scaledValues;
    for (int i = 0; i < 100; ++i) {
        const double y = 5 + std::sin(i * 0.1);
        values.add({double(i), y});
        scaledValues.add({double(i), y * 1000});
    }
    changeAxes([](auto&, auto&, auto& right) { right.scaleFactor = 1000; });
    plot.addTrace(true, values);
    const QImage scaledByFactor = painted();
    plot.clearAllTraces();
    changeAxes([](auto&, auto&, auto& right) { right.scaleFactor = 1; });
    plot.addTrace(true, scaledValues);
    EXPECT_EQ(painted(), scaledByFactor);
}

TEST_F(XyPlotTest, NumberFormatSwitchReachesTheXAxis) {
    // No trace counts, so the x axis is all that shows; its labels read 25000 or 25E3.
    changeAxes([](auto& x, auto&, auto&) {
        x.autoRange = false;
        x.fixedFrom = 0;
        x.fixedTo = 100000;
    });
    plot.repaintNow();
    const QImage fixed = painted();
    plot.setFixedNumberFormat(false);
    plot.repaintNow();
    EXPECT_NE(painted(), fixed);
}

TEST_F(XyPlotTest, TraceWithNeitherLineNorSymbolsIsIgnored) {
    plot.addTrace(false, {});
    addSeries(0, 200, 5);
    const QImage alone = painted();

    plot.addTrace(false, {{-1000, 0}, {5000, 1e9}});
    plot.traces()[1].lineOn = false;
    plot.traces()[1].symbolOn = false;
    plot.traces()[1].colour = plot::kRed;
    plot.setXGridOn(false);
    EXPECT_EQ(painted(), alone);

    plot.traces()[1].symbolOn = true;
    plot.setXGridOn(false);
    EXPECT_NE(painted(), alone);
}

TEST_F(XyPlotTest, NoCountingTraceShowsFrameAndXAxisOnly) {
    changeAxes([](auto& x, auto& left, auto& right) {
        x.colour = plot::kFuchsia;
        left.colour = plot::kRed;
        right.colour = plot::kLime;
    });
    plot.addTrace(false, {});
    const QImage picture = painted();
    EXPECT_GT(countColour(picture, plot::kFuchsia), 100);
    EXPECT_EQ(countColour(picture, plot::kRed), 0);
    EXPECT_EQ(countColour(picture, plot::kLime), 0);
}

TEST_F(XyPlotTest, FastAndPerPointDrawingGiveTheSamePicture) {
    plot.setXGridOn(true);
    plot.setLeftGridOn(true);
    plot.addTrace(false, {});
    plot.addTrace(true, {});
    plot.traces()[1].colour = plot::kRed;
    plot.traces()[1].symbol = 3;
    for (int i = 0; i < 20000; ++i) {
        plot.addPoint(0, i * 0.036, 10e6 + 0.3 * std::sin(i * 0.01) + 0.05 * std::sin(i * 7.1));
        plot.addPoint(1, i * 0.036, std::cos(i * 0.002) + 0.2 * std::sin(i * 3.3));
    }
    plot.setFastDrawing(false);
    const QImage plain = painted();
    plot.setFastDrawing(true);
    plot.repaintNow();
    EXPECT_EQ(painted(), plain);
}

class RulerTest : public XyPlotTest {
protected:
    void SetUp() override {
        XyPlotTest::SetUp();
        plot.addTrace(false, {});
        addSeries(0, 500, 5);
        settle();
        const plot::Mapping& m = plot.engine().mapping();
        left = m.mapLeft;
        right = m.mapLeft + m.mapWidth;
        top = m.mapBottom - m.mapHeight;
        bottom = m.mapBottom;
    }

    QPoint inside(double fx, double fy) const {
        return {left + int((right - left) * fx), top + int((bottom - top) * fy)};
    }

    const plot::ZoomWindow& zoom() const { return plot.engine().plotArea(1).zoomWindow; }

    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

TEST_F(RulerTest, MouseDoesNothingWhileTheRulerIsOff) {
    plot.setRulerOn(true);
    plot.setRulerOn(false);
    const QImage before = painted();
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    settle();
    EXPECT_EQ(plot.picture(), before);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
    drag(inside(0.01, 0.5), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    EXPECT_EQ(plot.picture(), before);
    EXPECT_EQ(zoom().xLow, 0.0);
    EXPECT_EQ(zoom().xHigh, 1.0);
}

TEST_F(RulerTest, DragShowsTheReadoutWhileHeld) {
    plot.setRulerOn(true);
    const QImage before = painted();
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.3, 0.5));
    sendMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, inside(0.6, 0.4));
    settle();
    const QImage held = plot.picture().copy();
    // The readout is written at the control's pixel (2, 2), left aligned, in the axis colours.
    int changedNearReadout = 0;
    int changedElsewhere = 0;
    for (int y = 0; y < held.height(); ++y)
        for (int x = 0; x < held.width(); ++x)
            if (held.pixel(x, y) != before.pixel(x, y))
                ++(x < 400 && y < 40 ? changedNearReadout : changedElsewhere);
    EXPECT_GT(changedNearReadout, 20);
    EXPECT_EQ(changedElsewhere, 0);

    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.6, 0.4));
    EXPECT_EQ(painted(), before);
}

TEST_F(RulerTest, ReleaseRepaintsWhatChangedMeanwhile) {
    plot.setRulerOn(true);
    painted();
    plot.traces()[0].colour = plot::kRed; // changes no picture by itself
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    EXPECT_EQ(countColour(painted(), plot::kRed), 0);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
    EXPECT_GT(countColour(painted(), plot::kRed), 100);
}

TEST_F(RulerTest, CtrlDragZoomsAndUnzoomAllRestores) {
    plot.setRulerOn(true);
    const QImage full = painted();
    drag(QPoint(left, inside(0, 0.1).y()), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    EXPECT_NEAR(zoom().xLow, 0.0, 0.01);
    EXPECT_NEAR(zoom().xHigh, 0.5, 0.01);
    EXPECT_NE(plot.picture(), full);

    plot.unzoomAll();
    EXPECT_EQ(zoom().xLow, 0.0);
    EXPECT_EQ(zoom().xHigh, 1.0);
    EXPECT_EQ(painted(), full);
}

TEST_F(RulerTest, ZoomedPictureIsTheSameOnBothDrawingPaths) {
    plot.setRulerOn(true);
    drag(inside(0.2, 0.1), inside(0.45, 0.6), Qt::ControlModifier);
    settle();
    ASSERT_LT(zoom().xHigh - zoom().xLow, 0.5);
    plot.setFastDrawing(false);
    plot.repaintNow();
    const QImage plain = painted();
    plot.setFastDrawing(true);
    plot.repaintNow();
    EXPECT_EQ(painted(), plain);
}

// Each control has its own engine: zooming one, or holding its ruler, leaves the other's
// picture, zoom and ruler alone.
TEST_F(RulerTest, TwoControlsKeepTheirOwnZoomAndRuler) {
    graph::XyPlot other;
    other.resize(plot.size());
    other.setAreaLayout(plot.areaLayout());
    other.addTrace(false, plot.traces()[0].points);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    settle();
    const QImage otherBefore = other.picture().copy();
    ASSERT_EQ(otherBefore, painted()) << "the same traces draw the same picture";

    plot.setRulerOn(true);
    drag(QPoint(left, inside(0, 0.1).y()), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    ASSERT_NEAR(zoom().xHigh, 0.5, 0.01);
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    other.repaintNow();
    settle();
    EXPECT_EQ(other.picture(), otherBefore);
    EXPECT_EQ(other.engine().plotArea(1).zoomWindow.xHigh, 1.0);
    EXPECT_EQ(plot.engine().interaction(), ::plot::Interaction::Ruler);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
}

class PrintingPlot : public graph::XyPlot {
public:
    plot::FakePrintTarget printer{4800, 6800};
    std::unique_ptr<plot::PrintTarget> openPrinter() override {
        return std::make_unique<plot::SharedPrintTarget>(printer);
    }
};

TEST(XyPlotOutput, PrintPutsThePictureCentredOnTheLandscapePage) {
    PrintingPlot plot;
    plot.resize(300, 200);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    plot.addTrace(false, {{0, 0}, {1, 1}});
    QCoreApplication::processEvents();
    const QImage before = plot.picture().copy();
    plot.print();
    EXPECT_EQ(plot.picture(), before);
    // 6800 x 4800 landscape: cells of min(6120 / 300, 4320 / 200) = 20, offsets 400 and 400;
    // the button-face background prints, so the blocks cover the whole picture.
    EXPECT_EQ(plot.printer.orientation, plot::PrintOrientation::Landscape);
    ASSERT_FALSE(plot.printer.blocks.empty());
    QRect covered;
    for (const auto& block : plot.printer.blocks)
        covered |= QRect(QPoint(block.rect.left, block.rect.top),
                         QPoint(block.rect.right - 1, block.rect.bottom - 1));
    EXPECT_EQ(covered, QRect(400 - 10, 400 - 10, 300 * 20, 200 * 20));
}

// Decades lie equally far apart on logarithmic axes, and both drawing paths draw them alike.
TEST_F(XyPlotTest, LogarithmicAxesSpaceDecadesEquallyOnBothDrawingPaths) {
    plot.addTrace(false, {{1, 1e-9}, {10, 1e-8}, {100, 1e-7}, {1000, 1e-6}});
    changeAxes([](graph::AxisSettings& x, graph::AxisSettings& left, graph::AxisSettings&) {
        x = {.caption = "x",
             .autoRange = false,
             .fixedFrom = 0.5,
             .fixedTo = 2000,
             .logarithmic = true};
        left = {.caption = "y",
                .autoRange = false,
                .fixedFrom = 5e-10,
                .fixedTo = 2e-6,
                .logarithmic = true};
    });
    plot.invalidate();
    const QImage fast = painted();
    const plot::PlotEngine& engine = plot.engine();
    const int xDecade = engine.mapX(10) - engine.mapX(1);
    const int yDecade = engine.mapY(1e-8) - engine.mapY(1e-9);
    EXPECT_GT(xDecade, 50);
    EXPECT_LT(yDecade, -50);
    for (double decade : {10.0, 100.0}) {
        EXPECT_NEAR(engine.mapX(decade * 10) - engine.mapX(decade), xDecade, 1);
        EXPECT_NEAR(engine.mapY(decade * 1e-8) - engine.mapY(decade * 1e-9), yDecade, 1);
    }
    plot.setFastDrawing(false);
    plot.invalidate();
    EXPECT_EQ(painted(), fast);
}

TEST_F(XyPlotTest, CopyToClipboardPutsThePictureAsDrawn) {
    plot.addTrace(false, {{0, 0}, {1, 1}, {2, 0}});
    const QImage picture = painted();
    plot.copyToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

} // namespace
