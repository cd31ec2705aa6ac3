// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph/point_mapping.h"

#include "plot/mapping.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace graph {

namespace {

plot::Mapping mapping(int left, int width, int bottom, int height, double xMin, double xMax,
                      double yMin, double yMax) {
    plot::Mapping m;
    m.mapLeft = left;
    m.mapWidth = width;
    m.mapBottom = bottom;
    m.mapHeight = height;
    m.xMin = xMin;
    m.xMax = xMax;
    m.yMin = yMin;
    m.yMax = yMax;
    return m;
}

// Values that land on every kind of pixel: not a number, infinite, far beyond the clamping
// range, exactly on half pixels (which round to the even neighbour) and at random.
std::vector<Point> testPoints(const plot::Mapping& m) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<Point> points{{kNaN, kNaN},    {kInf, -kInf}, {-kInf, kInf}, {1e300, -1e300},
                              {-1e300, 1e300}, {kNaN, 1.0},   {1.0, kNaN},   {m.xMin, m.yMin}};
    const double halfStepX = (m.xMax - m.xMin) / m.mapWidth / 2;
    const double halfStepY = (m.yMax - m.yMin) / m.mapHeight / 2;
    for (int k = 0; k < 50; ++k)
        points.push_back({m.xMin + (2 * k + 1) * halfStepX, m.yMin + (2 * k + 1) * halfStepY});
    std::mt19937_64 rng(1);
    const double xSpan = m.xMax - m.xMin;
    const double ySpan = m.yMax - m.yMin;
    std::uniform_real_distribution<double> x(m.xMin - xSpan / 2, m.xMax + xSpan / 2);
    std::uniform_real_distribution<double> y(m.yMin - ySpan / 2, m.yMax + ySpan / 2);
    for (int k = 0; k < 20001; ++k)
        points.push_back({x(rng), y(rng)});
    return points;
}

// Every start offset and every tail length the kernels step over, and all at once.
void expectEnginePixels(const PointBlock& block, const plot::Mapping& m, double xf, double yf,
                        MappingKernel kernel) {
    const PixelMapper single(m, xf, yf);
    for (std::size_t from = 0; from < 4; ++from) {
        for (std::size_t size : {1, 2, 3, 4, 5, 6, 7, 9, 11, 4096}) {
            const PointBlock part = block.subspan(from, size);
            std::vector<int> px(size);
            std::vector<int> py(size);
            mapPoints(part, m, xf, yf, px.data(), py.data(), kernel);
            for (std::size_t i = 0; i < size; ++i) {
                const Point p = part[i];
                ASSERT_EQ(px[i], plot::mapX(m, p.x * xf)) << from + i << " of " << size;
                ASSERT_EQ(py[i], plot::mapY(m, p.y * yf)) << from + i << " of " << size;
                ASSERT_EQ(single.column(p.x), px[i]) << "x of point " << from + i;
                ASSERT_EQ(single.row(p.y), py[i]) << "y of point " << from + i;
            }
        }
    }
    std::vector<int> px(block.size());
    std::vector<int> py(block.size());
    mapPoints(block, m, xf, yf, px.data(), py.data(), kernel);
    for (std::size_t i = 0; i < block.size(); ++i) {
        ASSERT_EQ(px[i], plot::mapX(m, block.x[i] * xf)) << "x of point " << i;
        ASSERT_EQ(py[i], plot::mapY(m, block.y[i] * yf)) << "y of point " << i;
    }
}

class PointMappingKernel : public testing::TestWithParam<MappingKernel> {};

TEST_P(PointMappingKernel, SamePixelsAsTheEngineMapping) {
    if (!mappingKernelAvailable(GetParam()))
        GTEST_SKIP() << "this processor lacks the kernel's instructions";
    // A graph's mapping, and one whose half pixels are exact binary fractions.
    const plot::Mapping maps[] = {mapping(224, 786, 381, 333, 0.3, 1441.7, 9999999.91, 10000000.13),
                                  mapping(10, 1024, 600, 512, 0.0, 1024.0, 0.0, 512.0)};
    for (const plot::Mapping& m : maps) {
        const std::vector<Point> points = testPoints(m);
        for (auto [xf, yf] : {std::pair{1.0, 1.0}, std::pair{1.0 / 60, 1000.0}}) {
            std::vector<double> x;
            std::vector<double> y;
            for (const Point& p : points) {
                x.push_back(p.x / xf);
                y.push_back(p.y / yf);
            }
            expectEnginePixels(PointBlock{y.size(), {.values = x.data()}, {.values = y.data()}}, m,
                               xf, yf, GetParam());
        }
    }
}

// Time stamps in whole milliseconds from a base, shown in seconds, and values as whole tenths of
// a millihertz from a base: the kernels divide them as the engine's callers would have divided
// the milliseconds, and as reading the counter's text gave the values.
TEST_P(PointMappingKernel, SamePixelsFromTicks) {
    if (!mappingKernelAvailable(GetParam()))
        GTEST_SKIP() << "this processor lacks the kernel's instructions";
    const plot::Mapping m = mapping(224, 786, 381, 333, 86400.3, 88641.7, 9999999.91, 10000000.13);
    constexpr double kBaseMs = 86'400'000;
    constexpr double kValueBase = 1e11; // 1e7 Hz in 1e-4 Hz
    std::mt19937_64 rng(5);
    std::uniform_int_distribution<std::int32_t> tick(-1'000'000, 3'000'000);
    std::uniform_int_distribution<std::int32_t> valueTick(-2'000, 2'000);
    std::vector<std::int32_t> ticks{std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max(), 0, 1, -1};
    std::vector<std::int32_t> valueTicks{0, -900, 1300, 1, -1};
    std::vector<double> y;
    for (int k = 0; k < 20001; ++k) {
        ticks.push_back(tick(rng));
        valueTicks.push_back(valueTick(rng));
    }
    for (const std::int32_t t : valueTicks)
        y.push_back((kValueBase + t) / 1e4);
    const NumberColumn xColumn{nullptr, ticks.data(), kBaseMs, 1000};
    for (const NumberColumn yColumn : {NumberColumn{.values = y.data()},
                                       NumberColumn{nullptr, valueTicks.data(), kValueBase, 1e4}}) {
        const PointBlock block{ticks.size(), xColumn, yColumn};
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            ASSERT_EQ(block.x[i], static_cast<double>(std::int64_t{86'400'000} + ticks[i]) / 1000);
            ASSERT_EQ(block.y[i], y[i]);
        }
        for (double xf : {1.0, 1.0 / 60})
            expectEnginePixels(block, m, xf, 1.0, GetParam());
    }
}

std::string kernelName(const testing::TestParamInfo<MappingKernel>& info) {
    constexpr const char* kNames[] = {"Scalar", "Sse2", "Avx2"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EachKernel, PointMappingKernel,
                         testing::Values(MappingKernel::Scalar, MappingKernel::Sse2,
                                         MappingKernel::Avx2),
                         kernelName);

} // namespace

} // namespace graph
