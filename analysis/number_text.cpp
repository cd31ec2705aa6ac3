// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/number_text.h"

#include <array>
#include <charconv>

namespace analysis {

namespace {

// Room for a double with 17 significant digits, sign, point and exponent, and then some.
using NumberBuffer = std::array<char, 64>;

std::string toText(double value, std::chars_format format, int precision) {
    NumberBuffer buffer;
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    return error == std::errc() ? std::string(buffer.data(), end) : std::string();
}

} // namespace

std::string generalText(double value, int significantDigits) {
    return toText(value, std::chars_format::general, significantDigits);
}

std::string scientificText(double value, int decimals) {
    return toText(value, std::chars_format::scientific, decimals);
}

} // namespace analysis
