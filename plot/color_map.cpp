// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/color_map.h"

#include <array>
#include <cmath>

namespace plot {

namespace {

struct Stop {
    unsigned red;
    unsigned green;
    unsigned blue;
};

// Nine stops at equal distances; between them the channels are interpolated linearly.
constexpr std::array<Stop, 9> kStops{{
    {68, 1, 84},
    {72, 40, 120},
    {62, 74, 137},
    {49, 104, 142},
    {38, 130, 142},
    {31, 158, 137},
    {53, 183, 121},
    {109, 205, 89},
    {253, 231, 37},
}};

} // namespace

Color colorMapColor(double t) {
    const double clamped = std::isnan(t) ? 0.0 : std::fmin(1.0, std::fmax(0.0, t));
    const double position = clamped * static_cast<double>(kStops.size() - 1);
    const auto lower = static_cast<std::size_t>(std::fmin(position, kStops.size() - 2.0));
    const double share = position - static_cast<double>(lower);
    const Stop& a = kStops[lower];
    const Stop& b = kStops[lower + 1];
    const auto channel = [share](unsigned from, unsigned to) {
        return static_cast<unsigned>(std::lround(from + (static_cast<double>(to) - from) * share));
    };
    return makeColor(channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue));
}

} // namespace plot
