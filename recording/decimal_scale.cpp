// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/decimal_scale.h"

#include <algorithm>
#include <array>
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

std::optional<DecimalScale> DecimalScale::of(double value) {
    for (const double divisor : kPowersOfTen) {
        const double whole = std::nearbyint(value * divisor);
        if (!(std::abs(whole) < kWholeLimit)) {
            return std::nullopt; // more places only make it larger; NaN and infinities end here
        }
        const DecimalScale scale{whole, divisor};
        if (scale.tick(value)) {
            return scale;
        }
    }
    return std::nullopt;
}

std::optional<DecimalScale> DecimalScale::widened(const DecimalScale& other, std::int32_t lowest,
                                                  std::int32_t highest) const {
    if (other.divisor <= divisor) {
        return *this;
    }
    const double factor = other.divisor / divisor; // a power of ten, exact
    const DecimalScale wide{base * factor, other.divisor};
    const double low = lowest * factor;
    const double high = highest * factor;
    if (!(low >= kTickLow && high <= kTickHigh &&
          std::abs(wide.base) + std::max(-low, high) < kWholeLimit)) {
        return std::nullopt;
    }
    return wide;
}

std::int32_t DecimalScale::tickIn(const DecimalScale& widened, std::int32_t tick) const {
    return static_cast<std::int32_t>(tick * (widened.divisor / divisor));
}

std::optional<std::int32_t> DecimalScale::tick(double value) const {
    const double whole = std::nearbyint(value * divisor);
    const double offset = whole - base;
    if (!(std::abs(whole) < kWholeLimit && offset >= kTickLow && offset <= kTickHigh)) {
        return std::nullopt;
    }
    const auto tick = static_cast<std::int32_t>(offset);
    if (std::bit_cast<std::uint64_t>(this->value(tick)) != std::bit_cast<std::uint64_t>(value)) {
        return std::nullopt; // more places than these, or -0
    }
    return tick;
}

} // namespace recording
