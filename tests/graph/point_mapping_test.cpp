#include "graph/point_mapping.h"

#include "plot/mapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

TEST(PointMapping, SamePixelsAsTheEngineMapping) {
    TMapping m;
    m.MapLeft = 224;
    m.MapWidth = 786;
    m.MapBottom = 381;
    m.MapHeight = 333;
    m.XMin = 0.3;
    m.XMax = 1441.7;
    m.YMin = 9999999.91;
    m.YMax = 10000000.13;

    constexpr double Inf = std::numeric_limits<double>::infinity();
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    TPointArray points{{NaN, NaN}, {Inf, -Inf}, {-Inf, Inf}, {1e300, -1e300}, {0.3, 9999999.91}};
    // Points that map exactly onto half pixels round to the even neighbour.
    const double halfStepX = (m.XMax - m.XMin) / m.MapWidth / 2;
    for (int k = 0; k < 50; ++k)
        points.Add({m.XMin + (2 * k + 1) * halfStepX, m.YMin});
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> x(-500, 2000);
    std::normal_distribution<double> y(10e6, 0.2);
    for (int k = 0; k < 100001; ++k)
        points.Add({x(rng), y(rng)});

    for (double xf : {1.0, 1.0 / 60}) {
        for (std::size_t b = 0; b < points.BlockCount(); ++b) {
            const auto block = points.Block(b);
            std::vector<int> px(block.size());
            std::vector<int> py(block.size());
            MapPoints(block, m, xf, 1.0, px.data(), py.data());
            for (std::size_t i = 0; i < block.size(); ++i) {
                ASSERT_EQ(px[i], MapX(m, block[i].X * xf)) << "x of point " << i;
                ASSERT_EQ(py[i], MapY(m, block[i].Y)) << "y of point " << i;
            }
        }
    }
}

} // namespace
