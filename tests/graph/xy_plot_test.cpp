#include "graph/xy_plot.h"

#include "tests/plot/fake_print_target.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
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

class XYPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot.resize(1122, 476);
        plot.XY_LeftPerCent = 20;
        plot.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
        settle();
    }

    void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QImage painted() {
        settle();
        return plot.Picture().copy();
    }

    void addSeries(int trace, int count, double amplitude) {
        for (int i = 0; i < count; ++i)
            plot.AddPoint(trace, i, 10e6 + amplitude * std::sin(i * 0.1));
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

    TXYPlot plot;
};

TEST_F(XYPlotTest, TraceOperations) {
    EXPECT_EQ(plot.AddPoint(0, 1, 1), -1);
    EXPECT_EQ(plot.AddTrace(false, {}), 0);
    EXPECT_EQ(plot.AddPoint(5, 1, 1), -1);
    EXPECT_EQ(plot.AddPoint(-1, 1, 1), -1);
    EXPECT_EQ(plot.AddPoint(0, 1, 1), 1);
    EXPECT_EQ(plot.AddPoint(0, 2, 3), 2);

    TPointArray given{{1, 2}, {3, 4}, {5, 6}};
    EXPECT_EQ(plot.AddTrace(true, given), 1);
    given.Add({7, 8});
    ASSERT_EQ(plot.Traces.size(), 2u);
    const TTrace& added = plot.Traces[1];
    EXPECT_EQ(added.Points.Size(), 3u);
    EXPECT_TRUE(added.RightAxis);
    EXPECT_EQ(added.Color, plot::kBlue);
    EXPECT_EQ(added.Symbol, 1);
    EXPECT_TRUE(added.LineOn && added.SymbolOn && added.Visible);
    EXPECT_FALSE(plot.Traces[0].RightAxis);

    plot.Traces[0].Color = plot::kRed;
    plot.ClearTrace(0);
    plot.ClearTrace(2);
    plot.ClearTrace(-1);
    ASSERT_EQ(plot.Traces.size(), 2u);
    EXPECT_TRUE(plot.Traces[0].Points.Empty());
    EXPECT_EQ(plot.Traces[0].Color, plot::kRed);
    EXPECT_EQ(plot.Traces[1].Points.Size(), 3u);
    EXPECT_EQ(plot.AddPoint(0, 9, 9), 1);

    plot.ClearAllTraces();
    EXPECT_TRUE(plot.Traces.empty());
    EXPECT_EQ(plot.AddPoint(0, 1, 1), -1);
    EXPECT_EQ(plot.AddTrace(false, {}), 0);
}

TEST_F(XYPlotTest, GridSwitchesRepaintCaptionsWaitAndRequestsMerge) {
    PaintCounter counter;
    plot.installEventFilter(&counter);

    plot.SetX_GridOn(true);
    settle();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_TRUE(plot.X_GridOn());
    plot.SetY_Left_GridOn(true);
    plot.SetY_Right_GridOn(true);
    settle();
    EXPECT_EQ(counter.paints, 2);

    const QImage before = plot.Picture().copy();
    plot.X_Caption = "Time/min";
    plot.Y_Left_Caption = "f/MHz";
    settle();
    EXPECT_EQ(counter.paints, 2);
    EXPECT_EQ(plot.Picture(), before);

    plot.AddTrace(false, {});
    for (int i = 0; i < 50; ++i)
        plot.AddPoint(0, i, i * i);
    settle();
    EXPECT_EQ(counter.paints, 3);
    EXPECT_NE(plot.Picture(), before);

    // The new caption is in the picture now: it differs from one drawn with the old caption.
    const QImage withNewCaption = plot.Picture().copy();
    plot.X_Caption = "X-Axis";
    plot.SetX_GridOn(true);
    EXPECT_NE(painted(), withNewCaption);
}

TEST_F(XYPlotTest, RightAxisOnlyTraceDrawsNoLeftAxis) {
    plot.Y_Left_Color = plot::kRed;
    plot.Y_Right_Color = plot::kLime;
    plot.AddTrace(true, {});
    addSeries(0, 100, 5);
    const QImage rightOnly = painted();
    EXPECT_EQ(countColour(rightOnly, plot::kRed), 0);
    // The right axis, its labels and its caption stand right of the plot, nothing of it left.
    const int middle = rightOnly.width() / 2;
    EXPECT_GT(countColour(rightOnly, plot::kLime, middle), 100);
    EXPECT_EQ(countColour(rightOnly, plot::kLime, 0, middle), 0);

    plot.AddTrace(false, {});
    addSeries(1, 100, 3);
    const QImage both = painted();
    EXPECT_GT(countColour(both, plot::kRed), 100);
    EXPECT_GT(countColour(both, plot::kLime), 100);
}

TEST_F(XYPlotTest, RightTracesAreScaledByTheRightFactor) {
    // Scaling the values by the right axis' factor must draw the same as scaled values.
    TPointArray values, scaledValues;
    for (int i = 0; i < 100; ++i) {
        const double y = 5 + std::sin(i * 0.1);
        values.Add({double(i), y});
        scaledValues.Add({double(i), y * 1000});
    }
    plot.Y_Right_ScaleFactor = 1000;
    plot.AddTrace(true, values);
    const QImage scaledByFactor = painted();
    plot.ClearAllTraces();
    plot.Y_Right_ScaleFactor = 1;
    plot.AddTrace(true, scaledValues);
    EXPECT_EQ(painted(), scaledByFactor);
}

TEST_F(XYPlotTest, NumberFormatSwitchReachesTheXAxis) {
    // No trace counts, so the x axis is all that shows; its labels read 25000 or 25E3.
    plot.X_Auto = false;
    plot.X_0 = 0;
    plot.X_1 = 100000;
    plot.RepaintNow();
    const QImage fixed = painted();
    plot.XY_FixedNumberFormat = false;
    plot.RepaintNow();
    EXPECT_NE(painted(), fixed);
}

TEST_F(XYPlotTest, TraceWithNeitherLineNorSymbolsIsIgnored) {
    plot.AddTrace(false, {});
    addSeries(0, 200, 5);
    const QImage alone = painted();

    plot.AddTrace(false, {{-1000, 0}, {5000, 1e9}});
    plot.Traces[1].LineOn = false;
    plot.Traces[1].SymbolOn = false;
    plot.Traces[1].Color = plot::kRed;
    plot.SetX_GridOn(false);
    EXPECT_EQ(painted(), alone);

    plot.Traces[1].SymbolOn = true;
    plot.SetX_GridOn(false);
    EXPECT_NE(painted(), alone);
}

TEST_F(XYPlotTest, NoCountingTraceShowsFrameAndXAxisOnly) {
    plot.Y_Left_Color = plot::kRed;
    plot.Y_Right_Color = plot::kLime;
    plot.X_Color = plot::kFuchsia;
    plot.AddTrace(false, {});
    const QImage picture = painted();
    EXPECT_GT(countColour(picture, plot::kFuchsia), 100);
    EXPECT_EQ(countColour(picture, plot::kRed), 0);
    EXPECT_EQ(countColour(picture, plot::kLime), 0);
}

TEST_F(XYPlotTest, FastAndPerPointDrawingGiveTheSamePicture) {
    plot.SetX_GridOn(true);
    plot.SetY_Left_GridOn(true);
    plot.AddTrace(false, {});
    plot.AddTrace(true, {});
    plot.Traces[1].Color = plot::kRed;
    plot.Traces[1].Symbol = 3;
    for (int i = 0; i < 20000; ++i) {
        plot.AddPoint(0, i * 0.036, 10e6 + 0.3 * std::sin(i * 0.01) + 0.05 * std::sin(i * 7.1));
        plot.AddPoint(1, i * 0.036, std::cos(i * 0.002) + 0.2 * std::sin(i * 3.3));
    }
    plot.FastDrawing = false;
    const QImage plain = painted();
    plot.FastDrawing = true;
    plot.RepaintNow();
    EXPECT_EQ(painted(), plain);
}

class RulerTest : public XYPlotTest {
protected:
    void SetUp() override {
        XYPlotTest::SetUp();
        plot.AddTrace(false, {});
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
    plot.SetXY_RulerOn(true);
    plot.SetXY_RulerOn(false);
    const QImage before = painted();
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    settle();
    EXPECT_EQ(plot.Picture(), before);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
    drag(inside(0.01, 0.5), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    EXPECT_EQ(plot.Picture(), before);
    EXPECT_EQ(zoom().xLow, 0.0);
    EXPECT_EQ(zoom().xHigh, 1.0);
}

TEST_F(RulerTest, DragShowsTheReadoutWhileHeld) {
    plot.SetXY_RulerOn(true);
    const QImage before = painted();
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.3, 0.5));
    sendMouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier, inside(0.6, 0.4));
    settle();
    const QImage held = plot.Picture().copy();
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
    plot.SetXY_RulerOn(true);
    painted();
    plot.Traces[0].Color = plot::kRed; // changes no picture by itself
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    EXPECT_EQ(countColour(painted(), plot::kRed), 0);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
    EXPECT_GT(countColour(painted(), plot::kRed), 100);
}

TEST_F(RulerTest, CtrlDragZoomsAndUnzoomAllRestores) {
    plot.SetXY_RulerOn(true);
    const QImage full = painted();
    drag(QPoint(left, inside(0, 0.1).y()), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    EXPECT_NEAR(zoom().xLow, 0.0, 0.01);
    EXPECT_NEAR(zoom().xHigh, 0.5, 0.01);
    EXPECT_NE(plot.Picture(), full);

    plot.UnzoomAll();
    EXPECT_EQ(zoom().xLow, 0.0);
    EXPECT_EQ(zoom().xHigh, 1.0);
    EXPECT_EQ(painted(), full);
}

TEST_F(RulerTest, ZoomedPictureIsTheSameOnBothDrawingPaths) {
    plot.SetXY_RulerOn(true);
    drag(inside(0.2, 0.1), inside(0.45, 0.6), Qt::ControlModifier);
    settle();
    ASSERT_LT(zoom().xHigh - zoom().xLow, 0.5);
    plot.FastDrawing = false;
    plot.RepaintNow();
    const QImage plain = painted();
    plot.FastDrawing = true;
    plot.RepaintNow();
    EXPECT_EQ(painted(), plain);
}

// Each control has its own engine: zooming one, or holding its ruler, leaves the other's
// picture, zoom and ruler alone.
TEST_F(RulerTest, TwoControlsKeepTheirOwnZoomAndRuler) {
    TXYPlot other;
    other.resize(plot.size());
    other.XY_LeftPerCent = plot.XY_LeftPerCent;
    other.AddTrace(false, plot.Traces[0].Points);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    settle();
    const QImage otherBefore = other.Picture().copy();
    ASSERT_EQ(otherBefore, painted()) << "the same traces draw the same picture";

    plot.SetXY_RulerOn(true);
    drag(QPoint(left, inside(0, 0.1).y()), inside(0.5, 0.9), Qt::ControlModifier);
    settle();
    ASSERT_NEAR(zoom().xHigh, 0.5, 0.01);
    sendMouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier,
              inside(0.5, 0.5));
    other.RepaintNow();
    settle();
    EXPECT_EQ(other.Picture(), otherBefore);
    EXPECT_EQ(other.engine().plotArea(1).zoomWindow.xHigh, 1.0);
    EXPECT_EQ(plot.engine().interaction(), ::plot::Interaction::Ruler);
    sendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier,
              inside(0.5, 0.5));
}

class PrintingPlot : public TXYPlot {
public:
    plot::FakePrintTarget printer{4800, 6800};
    std::unique_ptr<plot::PrintTarget> OpenPrinter() override {
        return std::make_unique<plot::SharedPrintTarget>(printer);
    }
};

TEST(XYPlotOutput, PrintPutsThePictureCentredOnTheLandscapePage) {
    PrintingPlot plot;
    plot.resize(300, 200);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    plot.AddTrace(false, {{0, 0}, {1, 1}});
    QCoreApplication::processEvents();
    const QImage before = plot.Picture().copy();
    plot.Print();
    EXPECT_EQ(plot.Picture(), before);
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

TEST_F(XYPlotTest, CopyToClipboardPutsThePictureAsDrawn) {
    plot.AddTrace(false, {{0, 0}, {1, 1}, {2, 0}});
    const QImage picture = painted();
    plot.CopyToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
}

} // namespace
