#include "plot/axes.h"
#include "plot/engine.h"
#include "plot/unzoom.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cstdlib>

// A whole frame of axes compared pixel for pixel with tests/plot/golden/axes_frame.png.
// After a deliberate change of the drawing, regenerate it with
//   TALVEK_REGENERATE_GOLDEN=1 ctest --test-dir build -R axes_golden_test
// and look at the new picture before committing it.

namespace {

QString GoldenPath() {
    const char* source = std::getenv("TALVEK_SOURCE_DIR");
    return QString::fromLocal8Bit(source ? source : ".") + "/tests/plot/golden/axes_frame.png";
}

QImage DrawFrame() {
    TImageHost host(640, 400);
    Unzoom(0);
    StartGraph(host, clWhite, clBlack, 1.0);
    SetPlotArea(12, 88, 10, 84, 0, 0, 0, 0, false);
    DrawXAxis(clBlack, "Time|s", 1, 0, 10, 0, 0, true, false, false, 0);
    DrawYAxis(clBlue, "Y1-Axis", 1, 24999990, 25000010, 0, 0, true, false, false, 0);
    DrawYAxis(clGreen, "Y2-Axis", 4, -1, 1, 0, 0, true, false, false, 0);
    FinishGraph();
    return host.EngineCanvas().Image().convertToFormat(QImage::Format_RGB32);
}

TEST(AxesGolden, WholeFrameMatchesTheStoredPicture) {
    const QImage frame = DrawFrame();
    if (qEnvironmentVariableIsSet("TALVEK_REGENERATE_GOLDEN")) {
        ASSERT_TRUE(frame.save(GoldenPath(), "PNG")) << GoldenPath().toStdString();
        GTEST_SKIP() << "golden picture written to " << GoldenPath().toStdString();
    }
    QImage golden(GoldenPath());
    ASSERT_FALSE(golden.isNull()) << "missing " << GoldenPath().toStdString();
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
