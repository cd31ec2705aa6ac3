// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/plot_engine.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdlib>

namespace plot {

// A whole frame of axes compared pixel for pixel with tests/plot/golden/axes_frame.png.
// After a deliberate change of the drawing, regenerate it with
//   TALVEK_REGENERATE_GOLDEN=1 ctest --test-dir build -R axes_golden_test
// and look at the new picture before committing it.

namespace {

QString goldenPath() {
    const char* source = std::getenv("TALVEK_SOURCE_DIR");
    return QString::fromLocal8Bit(source ? source : ".") + "/tests/plot/golden/axes_frame.png";
}

QImage drawFrame() {
    ImageHost host(640, 400);
    plot::PlotEngine engine(host);
    engine.startGraph(kWhite, kBlack, 1.0);
    engine.setPlotArea({12, 88, 10, 84});
    using plot::AxisKind;
    engine.drawAxis(
        {.kind = AxisKind::X, .caption = "Time|s", .start = 0, .end = 10, .gridOn = true});
    engine.drawAxis({.kind = AxisKind::Y,
                     .colour = kBlue,
                     .caption = "Y1-Axis",
                     .start = 24999990,
                     .end = 25000010,
                     .gridOn = true});
    engine.drawAxis({.kind = AxisKind::Y,
                     .colour = kGreen,
                     .caption = "Y2-Axis",
                     .side = 4,
                     .start = -1,
                     .end = 1,
                     .gridOn = true});
    engine.finishGraph();
    return host.engineCanvas().image().convertToFormat(QImage::Format_RGB32);
}

TEST(AxesGolden, WholeFrameMatchesTheStoredPicture) {
    const QImage frame = drawFrame();
    if (qEnvironmentVariableIsSet("TALVEK_REGENERATE_GOLDEN")) {
        ASSERT_TRUE(frame.save(goldenPath(), "PNG")) << goldenPath().toStdString();
        GTEST_SKIP() << "golden picture written to " << goldenPath().toStdString();
    }
    QImage golden(goldenPath());
    ASSERT_FALSE(golden.isNull()) << "missing " << goldenPath().toStdString();
    golden = golden.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(golden.size(), frame.size());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (frame.pixel(x, y) != golden.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "first difference at (" << first.x() << ", " << first.y() << ")";
}

} // namespace

} // namespace plot
