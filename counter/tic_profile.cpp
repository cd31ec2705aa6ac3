// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/tic_profile.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace counter {
namespace {

constexpr std::string_view kChannelA = " chA";
constexpr std::string_view kInterval = " TI(A->B)";
// Decimals whose count of last-decimal units fits a 64-bit integer.
constexpr std::size_t kMostExactDecimals = 18;

// [-]digits[.digits], read whole; nothing for any other text.
std::optional<double> plainNumber(std::string_view text) {
    const std::size_t digits = text.find_first_not_of("0123456789", text.starts_with('-'));
    if (text.empty() || text == "-" ||
        (digits != std::string_view::npos &&
         (text[digits] != '.' ||
          text.find_first_not_of("0123456789", digits + 1) != std::string_view::npos))) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// t - round(t) from the decimals alone, in whole units of the last decimal: t itself, a day's or a
// month's worth of seconds, has no room left in a double for the picoseconds of its fraction.
std::optional<double> timeErrorOfStamp(std::string_view stamp) {
    if (!plainNumber(stamp)) {
        return std::nullopt;
    }
    const bool negative = stamp.starts_with('-');
    const std::size_t point = stamp.find('.');
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : stamp.substr(point + 1);
    if (decimals.size() > kMostExactDecimals) {
        const double fraction = *plainNumber("0." + std::string(decimals));
        const double error = fraction >= 0.5 ? fraction - 1 : fraction;
        return negative ? -error : error;
    }
    std::uint64_t unit = 1;
    std::uint64_t fraction = 0;
    for (const char digit : decimals) {
        unit *= 10;
        fraction = fraction * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    const double error = 2 * fraction >= unit
                             ? -static_cast<double>(unit - fraction) / static_cast<double>(unit)
                             : static_cast<double>(fraction) / static_cast<double>(unit);
    return negative ? -error : error;
}

} // namespace

bool TicProfile::isIdentification(std::string_view telegram) const {
    return reading(telegram).has_value();
}

std::string TicProfile::deviceName(std::string_view) const {
    return "TICC";
}

std::optional<Reading> TicProfile::reading(std::string_view telegram) const {
    std::optional<double> value;
    std::string_view number = telegram;
    if (telegram.ends_with(kChannelA)) {
        number.remove_suffix(kChannelA.size());
        value = timeErrorOfStamp(number);
    } else {
        if (telegram.ends_with(kInterval)) {
            number.remove_suffix(kInterval.size());
        }
        value = plainNumber(number);
    }
    if (!value) {
        return std::nullopt;
    }
    return Reading{.value = *value,
                   .valueText = std::string(number),
                   .unitText = "s",
                   .quantity = Quantity::Phase,
                   .telegram = std::string(telegram)};
}

} // namespace counter
