// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_array.h"

#include <gtest/gtest.h>

#include <random>

namespace graph {

namespace {

TEST(PointArray, KeepsOrderAndExtremesAcrossBlocks) {
    graph::PointArray points;
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    const std::size_t n = 3 * graph::PointArray::kBlockSize + 17;
    std::vector<graph::Point> expected;
    Extremes x;
    Extremes y;
    for (std::size_t i = 0; i < n; ++i) {
        const graph::Point p{value(rng), value(rng)};
        expected.push_back(p);
        x.include(p.x);
        y.include(p.y);
        points.add(p);
    }
    ASSERT_EQ(points.size(), n);
    std::size_t i = 0;
    for (std::size_t b = 0; b < points.blockCount(); ++b)
        for (const graph::Point& p : points.block(b)) {
            ASSERT_EQ(p.x, expected[i].x);
            ASSERT_EQ(p.y, expected[i].y);
            ++i;
        }
    EXPECT_EQ(i, n);
    EXPECT_EQ(points[n - 1].y, expected[n - 1].y);
    EXPECT_EQ(points[graph::PointArray::kBlockSize].x, expected[graph::PointArray::kBlockSize].x);
    EXPECT_EQ(points.xExtremes().lower, x.lower);
    EXPECT_EQ(points.xExtremes().upper, x.upper);
    EXPECT_EQ(points.yExtremes().lower, y.lower);
    EXPECT_EQ(points.yExtremes().upper, y.upper);
}

// 16 bytes per point, and a summary per run of points.
TEST(PointArray, CostsSixteenBytesPerPointWhenLong) {
    constexpr double kSummaryBytes = double(sizeof(graph::RunSummary)) / graph::RunSummary::kPoints;
    graph::PointArray points;
    const std::size_t n = 2'400'000;
    for (std::size_t i = 0; i < n; ++i)
        points.add({double(i), 1e7});
    const double perPoint = double(points.allocatedBytes()) / double(n);
    EXPECT_GE(perPoint, 16.0 + kSummaryBytes);
    EXPECT_LT(perPoint, 16.5 + kSummaryBytes);

    // A copy grows the same way, without overshooting a block.
    graph::PointArray copy = points;
    for (std::size_t i = 0; i < graph::PointArray::kBlockSize; ++i)
        copy.add({0, 0});
    EXPECT_LT(double(copy.allocatedBytes()) / double(copy.size()), 16.5 + kSummaryBytes);
}

TEST(PointArray, ShortTracesLeaveAtMostAQuarterEmpty) {
    constexpr double kSummaryBytes = double(sizeof(graph::RunSummary)) / graph::RunSummary::kPoints;
    for (std::size_t n : {1000u, 10000u, 100000u, 300000u}) {
        graph::PointArray points;
        for (std::size_t i = 0; i < n; ++i)
            points.add({double(i), 1e7});
        const double perPoint = double(points.allocatedBytes()) / double(n);
        EXPECT_LT(perPoint, 1.25 * (16 + kSummaryBytes) + 0.1) << n << " points";
    }
}

TEST(PointArray, ClearForgetsPointsAndExtremes) {
    graph::PointArray points{{1, 2}, {3, -4}};
    EXPECT_EQ(points.yExtremes().lower, -4);
    points.clear();
    EXPECT_TRUE(points.empty());
    EXPECT_FALSE(points.xExtremes().any);
    EXPECT_EQ(points.allocatedBytes(), 0u);
    points.add({9, 9});
    EXPECT_EQ(points.xExtremes().lower, 9);
    EXPECT_EQ(points.size(), 1u);
}

} // namespace

} // namespace graph
