#include "graph/point_array.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(PointArray, KeepsOrderAndExtremesAcrossBlocks) {
    TPointArray points;
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    const std::size_t n = 3 * TPointArray::BlockSize + 17;
    std::vector<TPoint> expected;
    TExtremes x;
    TExtremes y;
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint p{value(rng), value(rng)};
        expected.push_back(p);
        x.Include(p.X);
        y.Include(p.Y);
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
    EXPECT_EQ(points.XExtremes().Lower, x.Lower);
    EXPECT_EQ(points.XExtremes().Upper, x.Upper);
    EXPECT_EQ(points.YExtremes().Lower, y.Lower);
    EXPECT_EQ(points.YExtremes().Upper, y.Upper);
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
    EXPECT_EQ(points.YExtremes().Lower, -4);
    points.Clear();
    EXPECT_TRUE(points.Empty());
    EXPECT_FALSE(points.XExtremes().Any);
    EXPECT_EQ(points.AllocatedBytes(), 0u);
    points.Add({9, 9});
    EXPECT_EQ(points.XExtremes().Lower, 9);
    EXPECT_EQ(points.Size(), 1u);
}

} // namespace
