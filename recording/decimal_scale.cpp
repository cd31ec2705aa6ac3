// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/decimal_scale.h"

#include <bit>
#include <cmath>
#include <limits>

namespace recording {
namespace {

constexpr double kWholeLimit = 9007199254740992.0; // 2^53: every whole number below is exact
constexpr double kTickLow = std::numeric_limits<std::int32_t>::min();
constexpr double kTickHigh = std::numeric_limits<std::int32_t>::max();

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> kPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace

std::optional<DecimalScale> DecimalScale::of(double value, double factor, double divisor) {
    const double number = value / factor;
    for (const double power : kPowersOfTen) {
        if (power < divisor) {
            continue;
        }
        const double whole = std::nearbyint(number * power);
        if (!(std::abs(whole) < kWholeLimit)) {
            return std::nullopt; // more places only make it larger; NaN and infinities end here
        }
        const DecimalScale scale{whole, power, factor};
        if (scale.tick(value)) {
            return scale;
        }
    }
    return std::nullopt;
}

std::optional<DecimalScale> DecimalScale::of(double value) {
    for (const double factor : kUnitFactors) {
        if (const std::optional<DecimalScale> scale = of(value, factor)) {
            return scale;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> DecimalScale::tick(double value) const {
    const double whole = std::nearbyint(value / factor * divisor);
    const double offset = whole - base;
    if (!(std::abs(whole) < kWholeLimit && offset >= kTickLow && offset <= kTickHigh)) {
        return std::nullopt;
    }
    const auto tick = static_cast<std::int32_t>(offset);
    if (std::bit_cast<std::uint64_t>(this->value(tick)) != std::bit_cast<std::uint64_t>(value)) {
        return std::nullopt; // more places than these, another factor, or -0
    }
    return tick;
}

} // namespace recording
