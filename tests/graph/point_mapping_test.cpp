// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_mapping.h"

#include "plot/mapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace graph {

namespace {

TEST(PointMapping, SamePixelsAsTheEngineMapping) {
    plot::Mapping m;
    m.mapLeft = 224;
    m.mapWidth = 786;
    m.mapBottom = 381;
    m.mapHeight = 333;
    m.xMin = 0.3;
    m.xMax = 1441.7;
    m.yMin = 9999999.91;
    m.yMax = 10000000.13;

    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    graph::PointArray points{
        {kNaN, kNaN}, {kInf, -kInf}, {-kInf, kInf}, {1e300, -1e300}, {0.3, 9999999.91}};
    // Points that map exactly onto half pixels round to the even neighbour.
    const double halfStepX = (m.xMax - m.xMin) / m.mapWidth / 2;
    for (int k = 0; k < 50; ++k)
        points.add({m.xMin + (2 * k + 1) * halfStepX, m.yMin});
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> x(-500, 2000);
    std::normal_distribution<double> y(10e6, 0.2);
    for (int k = 0; k < 100001; ++k)
        points.add({x(rng), y(rng)});

    for (double xf : {1.0, 1.0 / 60}) {
        const PixelMapper single(m, xf, 1.0);
        for (std::size_t b = 0; b < points.blockCount(); ++b) {
            const auto block = points.block(b);
            std::vector<int> px(block.size());
            std::vector<int> py(block.size());
            mapPoints(block, m, xf, 1.0, px.data(), py.data());
            for (std::size_t i = 0; i < block.size(); ++i) {
                ASSERT_EQ(px[i], plot::mapX(m, block[i].x * xf)) << "x of point " << i;
                ASSERT_EQ(py[i], plot::mapY(m, block[i].y)) << "y of point " << i;
                ASSERT_EQ(single.column(block[i].x), px[i]) << "x of point " << i << " alone";
                ASSERT_EQ(single.row(block[i].y), py[i]) << "y of point " << i << " alone";
            }
        }
    }
}

} // namespace

} // namespace graph
