#include "graph/point_array.h"

#include <gtest/gtest.h>

#include <random>

namespace graph {

namespace {

TEST(PointArray, KeepsOrderAndExtremesAcrossBlocks) {
    TPointArray points;
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    const std::size_t n = 3 * TPointArray::BlockSize + 17;
    std::vector<TPoint> expected;
    Extremes x;
    Extremes y;
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint p{value(rng), value(rng)};
        expected.push_back(p);
        x.include(p.X);
        y.include(p.Y);
        points.Add(p);
    }
    ASSERT_EQ(points.Size(), n);
    std::size_t i = 0;
    for (std::size_t b = 0; b < points.BlockCount(); ++b)
        for (const TPoint& p : points.Block(b)) {
            ASSERT_EQ(p.X, expected[i].X);
            ASSERT_EQ(p.Y, expected[i].Y);
            ++i;
        }
    EXPECT_EQ(i, n);
    EXPECT_EQ(points[n - 1].Y, expected[n - 1].Y);
    EXPECT_EQ(points[TPointArray::BlockSize].X, expected[TPointArray::BlockSize].X);
    EXPECT_EQ(points.XExtremes().lower, x.lower);
    EXPECT_EQ(points.XExtremes().upper, x.upper);
    EXPECT_EQ(points.YExtremes().lower, y.lower);
    EXPECT_EQ(points.YExtremes().upper, y.upper);
}

TEST(PointArray, CostsSixteenBytesPerPointWhenLong) {
    TPointArray points;
    const std::size_t n = 2'400'000;
    for (std::size_t i = 0; i < n; ++i)
        points.Add({double(i), 1e7});
    const double perPoint = double(points.AllocatedBytes()) / double(n);
    EXPECT_GE(perPoint, 16.0);
    EXPECT_LT(perPoint, 16.5);

    // A copy grows the same way, without overshooting a block.
    TPointArray copy = points;
    for (std::size_t i = 0; i < TPointArray::BlockSize; ++i)
        copy.Add({0, 0});
    EXPECT_LT(double(copy.AllocatedBytes()) / double(copy.Size()), 16.5);
}

TEST(PointArray, ShortTracesLeaveAtMostAQuarterEmpty) {
    for (std::size_t n : {1000u, 10000u, 100000u, 300000u}) {
        TPointArray points;
        for (std::size_t i = 0; i < n; ++i)
            points.Add({double(i), 1e7});
        const double perPoint = double(points.AllocatedBytes()) / double(n);
        EXPECT_LT(perPoint, 20.1) << n << " points";
    }
}

TEST(PointArray, ClearForgetsPointsAndExtremes) {
    TPointArray points{{1, 2}, {3, -4}};
    EXPECT_EQ(points.YExtremes().lower, -4);
    points.Clear();
    EXPECT_TRUE(points.Empty());
    EXPECT_FALSE(points.XExtremes().any);
    EXPECT_EQ(points.AllocatedBytes(), 0u);
    points.Add({9, 9});
    EXPECT_EQ(points.XExtremes().lower, 9);
    EXPECT_EQ(points.Size(), 1u);
}

} // namespace

} // namespace graph
