// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/log_scale.h"

#include "plot/extended_rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace plot {

namespace {

constexpr std::array<int, 1> kRow0{10};
constexpr std::array<int, 3> kRow1{10, 20, 50};
constexpr std::array<int, 9> kRow2{10, 20, 30, 40, 50, 60, 70, 80, 90};
constexpr std::array<int, 16> kRow3{10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90};
constexpr std::array<int, 35> kRow4{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22,
                                    24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 44, 46,
                                    48, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95};

// Enough decades for any double range; guards the walk against a position function that never
// reaches the axis end.
constexpr int kMaxDecades = 700;

} // namespace

int logFinenessLevel(int pixelLength, double fineness, double ratio, int fontPoints) {
    const long double d = static_cast<long double>(pixelLength) * fineness /
                          std::log10(static_cast<long double>(ratio)) / (fontPoints / 8.0L);
    if (d > 250)
        return 224;
    if (d > 160)
        return 123;
    if (d > 100)
        return 112;
    if (d > 40)
        return 12;
    if (d > 7)
        return 1;
    return 0;
}

std::span<const int> logSubdivisionRow(int row) {
    switch (row) {
    case 0:
        return kRow0;
    case 1:
        return kRow1;
    case 2:
        return kRow2;
    case 3:
        return kRow3;
    default:
        return kRow4;
    }
}

bool inLogSubdivisionRow(int row, int mantissaCode) {
    const auto codes = logSubdivisionRow(row);
    return std::find(codes.begin(), codes.end(), mantissaCode) != codes.end();
}

void walkLogTicks(double axisMin, double axisMax, int length, int level, bool xAxis,
                  const std::function<int(double)>& position,
                  const std::function<void(const LogTick&)>& visit) {
    const double low = std::min(axisMin, axisMax);
    if (!(low > 0))
        return;
    const int labelRow = level / 100;
    const int longRow = level / 10 % 10;
    const int tickRow = level % 10;
    // A decreasing axis is walked from its far end, where its smallest value lies.
    const auto fromLowEnd = [&](long double v) {
        const int p = position(static_cast<double>(v));
        return axisMin > axisMax ? length - p : p;
    };

    long double e = intPart(std::log10(static_cast<long double>(low))) + 1;
    for (int i = 0; i < kMaxDecades && fromLowEnd(std::pow(10.0L, e)) > 0; ++i)
        e -= 1;
    for (int i = 0; i < kMaxDecades; ++i, e += 1) {
        const long double v = std::pow(10.0L, e);
        if (fromLowEnd(v) > length)
            break;
        for (int m : logSubdivisionRow(tickRow)) {
            LogTick tick;
            tick.value = static_cast<double>(m * v / 10);
            tick.position = position(tick.value);
            if (tick.position < 0 || tick.position > length)
                continue;
            tick.isLong = inLogSubdivisionRow(longRow, m);
            tick.labelled = inLogSubdivisionRow(labelRow, m) && !(xAxis && (m == 70 || m == 90));
            tick.exponent = static_cast<int>(e);
            tick.digit = roundToInt(m / 10.0L);
            visit(tick);
        }
    }
}

} // namespace plot
