// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace recording {

// Values kept as whole numbers of their last decimal place, 4 bytes each from a base: a value is
// (base + tick) / divisor, divisor a power of ten. A counter sends its readings with a fixed
// number of decimal places; the division by an exact power of ten rounds the whole number as
// reading the text did, so each value comes back bit for bit. A scale holds a value only where
// that is checked to be so.
struct DecimalScale {
    double base = 0;    // a whole number below 2^53
    double divisor = 1; // 10^places, exact up to 10^22

    // The scale with the fewest places that holds value, with value at tick 0.
    static std::optional<DecimalScale> of(double value);
    // The same scale with at least the places of `other`, where both hold their values there and
    // every tick of [lowest, highest] fits it.
    std::optional<DecimalScale> widened(const DecimalScale& other, std::int32_t lowest,
                                        std::int32_t highest) const;
    // A tick of this scale in the widened one.
    std::int32_t tickIn(const DecimalScale& widened, std::int32_t tick) const;

    std::optional<std::int32_t> tick(double value) const;
    double value(std::int32_t tick) const { return (base + tick) / divisor; }
};

} // namespace recording
