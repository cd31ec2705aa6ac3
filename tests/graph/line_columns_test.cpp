#include "graph/line_columns.h"

#include "plot/raster.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Every line between points of a small grid, partly outside the picture, must mark exactly the
// pixels the canvas rasteriser visits.
TEST(LineColumns, SamePixelsAsTheCanvasLine) {
    constexpr int W = 40;
    constexpr int H = 30;
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> coord(-12, 52);
    int compared = 0;
    for (int n = 0; n < 20000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        TColumnMasks mine(W, H);
        AddLinePixels(mine, x0, y0, x1, y1);
        TColumnMasks canvas(W, H);
        plot::forEachLinePixel(x0, y0, x1, y1, W, H, 0, false,
                               [&](std::int64_t px, std::int64_t py, std::int64_t) {
                                   canvas.Add(static_cast<int>(px), static_cast<int>(py));
                               });
        QImage a(W, H, QImage::Format_RGB32);
        QImage b(W, H, QImage::Format_RGB32);
        a.fill(0);
        b.fill(0);
        mine.Paint(a, 0xFFFFFFFF);
        canvas.Paint(b, 0xFFFFFFFF);
        ASSERT_EQ(a, b) << "line " << x0 << "," << y0 << " -> " << x1 << "," << y1;
        ++compared;
    }
    EXPECT_EQ(compared, 20000);
}

TEST(ColumnMasks, RunsAndShiftsStayInsideThePicture) {
    TColumnMasks m(3, 130);
    m.AddRun(1, -5, 70);
    m.AddRun(2, 120, 500);
    TColumnMasks shifted(3, 130);
    shifted.AddShifted(m, 1, 65);
    shifted.AddShifted(m, -2, -125);
    QImage image(3, 130, QImage::Format_RGB32);
    image.fill(0);
    shifted.Paint(image, 0xFFFFFFFF);
    for (int y = 0; y < 130; ++y) {
        EXPECT_EQ(image.pixel(2, y) == 0xFFFFFFFF, y >= 65) << "row " << y;
        EXPECT_EQ(image.pixel(0, y) == 0xFFFFFFFF, y <= 4) << "row " << y;
        EXPECT_NE(image.pixel(1, y), 0xFFFFFFFF) << "row " << y;
    }
}

} // namespace
