// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace recording {

// Values kept as whole numbers of their last decimal place, 4 bytes each from a base: a value is
// (base + tick) / divisor * factor, divisor a power of ten, factor a unit's (a counter sends
// "10.00000051" with "MHz" and its reading is that number times 1e6). Dividing by an exact power
// of ten rounds the whole number as reading the text did, and the factor is applied as the
// reading applied it, so each value comes back bit for bit. A scale holds a value only where
// that is checked to be so.
struct DecimalScale {
    // The factors a counter's units scale its numbers by, 1 (a plain number) first.
    static constexpr std::array<double, 8> kUnitFactors{1, 1e9, 1e6, 1e3, 1e-3, 1e-6, 1e-9, 1e-12};

    double base = 0;    // a whole number below 2^53
    double divisor = 1; // 10^places, exact up to 10^22
    double factor = 1;

    // The scale with this factor and the fewest places, at least those of `divisor`, that holds
    // value, with value at tick 0.
    static std::optional<DecimalScale> of(double value, double factor, double divisor = 1);
    // The first of these for the unit factors in turn.
    static std::optional<DecimalScale> of(double value);

    std::optional<std::int32_t> tick(double value) const;
    double value(std::int32_t tick) const { return (base + tick) / divisor * factor; }
};

} // namespace recording
