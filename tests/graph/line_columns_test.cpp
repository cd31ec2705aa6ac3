// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/line_columns.h"

#include "plot/raster.h"

#include <gtest/gtest.h>

#include <random>

namespace graph {

namespace {

// Every line between points of a small grid, partly outside the picture, must mark exactly the
// pixels the canvas rasteriser visits.
TEST(LineColumns, SamePixelsAsTheCanvasLine) {
    constexpr int kW = 40;
    constexpr int kH = 30;
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> coord(-12, 52);
    int compared = 0;
    for (int n = 0; n < 20000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        ColumnMasks mine(kW, kH);
        addLinePixels(mine, x0, y0, x1, y1);
        ColumnMasks canvas(kW, kH);
        plot::forEachLinePixel(x0, y0, x1, y1, kW, kH, 0, false,
                               [&](std::int64_t px, std::int64_t py, std::int64_t) {
                                   canvas.add(static_cast<int>(px), static_cast<int>(py));
                               });
        QImage a(kW, kH, QImage::Format_RGB32);
        QImage b(kW, kH, QImage::Format_RGB32);
        a.fill(0);
        b.fill(0);
        mine.paint(a, 0xFFFFFFFF);
        canvas.paint(b, 0xFFFFFFFF);
        ASSERT_EQ(a, b) << "line " << x0 << "," << y0 << " -> " << x1 << "," << y1;
        ++compared;
    }
    EXPECT_EQ(compared, 20000);
}

TEST(ColumnMasks, RunsAndShiftsStayInsideThePicture) {
    ColumnMasks m(3, 130);
    m.addRun(1, -5, 70);
    m.addRun(2, 120, 500);
    ColumnMasks shifted(3, 130);
    shifted.addShifted(m, 1, 65);
    shifted.addShifted(m, -2, -125);
    QImage image(3, 130, QImage::Format_RGB32);
    image.fill(0);
    shifted.paint(image, 0xFFFFFFFF);
    for (int y = 0; y < 130; ++y) {
        EXPECT_EQ(image.pixel(2, y) == 0xFFFFFFFF, y >= 65) << "row " << y;
        EXPECT_EQ(image.pixel(0, y) == 0xFFFFFFFF, y <= 4) << "row " << y;
        EXPECT_NE(image.pixel(1, y), 0xFFFFFFFF) << "row " << y;
    }
}

} // namespace

} // namespace graph
