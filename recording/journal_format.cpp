// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/journal_format.h"

#include "recording/byte_coding.h"
#include "recording/crc32c.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace recording {
namespace {

constexpr std::size_t kDumpLength = 32;
constexpr std::size_t kDumpUnitAt = 17;
constexpr std::size_t kDumpUnitLength = 3;
constexpr std::size_t kDumpNumberAt = 21;

// Frozen with format version 1: changing this table changes what old journals decode to.
constexpr std::array<std::pair<std::string_view, double>, 7> kUnitFactors{{
    {"GHz", 1e9},
    {"MHz", 1e6},
    {"kHz", 1e3},
    {" ms", 1e-3},
    {" us", 1e-6},
    {" ns", 1e-9},
    {" ps", 1e-12},
}};

// The counter's usual numbers, [-]digits[.digits] with at most 2^53 as digits and at most 22
// decimals, convert exactly as the quotient of two exact doubles; IEEE division rounds that
// correctly, so the result equals std::from_chars's, at a fraction of its cost.
std::optional<double> plainDecimal(std::string_view text) {
    constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;
    constexpr std::array<double, 23> kPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const bool negative = !text.empty() && text[0] == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    int decimals = -1;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9' || mantissa > (kExactMantissa - 9) / 10) {
            return std::nullopt;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        ++digits;
        decimals += decimals >= 0 ? 1 : 0;
    }
    if (digits == 0 || decimals >= static_cast<int>(kPowersOfTen.size())) {
        return std::nullopt;
    }
    const double magnitude = static_cast<double>(mantissa) /
                             kPowersOfTen[static_cast<std::size_t>(std::max(decimals, 0))];
    return negative ? -magnitude : magnitude;
}

// Blanks around the number are dropped and one "+" before it; the rest must be a number
// std::from_chars reads whole ("." as the point), and finite.
std::optional<double> fieldNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    if (const auto plain = plainDecimal(text)) {
        return plain;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double unitFactor(std::string_view unitField) {
    for (const auto& [unit, factor] : kUnitFactors) {
        if (unitField == unit) {
            return factor;
        }
    }
    return 1.0;
}

} // namespace

std::uint32_t journalRecordChecksum(std::uint64_t sequence, std::string_view frame) {
    std::string number;
    appendLittleEndian(number, sequence, 8);
    return crc32c(frame, crc32c(number));
}

std::optional<std::int64_t> journalWholeMs(double timeMs) {
    constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53
    if (!(std::fabs(timeMs) <= kLargestExactInteger) || timeMs != std::trunc(timeMs) ||
        std::signbit(timeMs) != (timeMs < 0)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(timeMs);
}

ImpliedReading impliedReading(std::string_view telegram) {
    ImpliedReading implied;
    if (telegram.size() == kDumpLength && telegram.substr(0, 2) == "av") {
        const std::string_view unitField = telegram.substr(kDumpUnitAt, kDumpUnitLength);
        for (const char c : unitField) {
            if (c != ' ') {
                implied.unit += c;
            }
        }
        if (const auto number = fieldNumber(telegram.substr(kDumpNumberAt))) {
            const double value = *number * unitFactor(unitField);
            if (std::isfinite(value)) {
                implied.value = value;
            }
        }
        return implied;
    }
    implied.unit = "Hz";
    implied.value = fieldNumber(telegram);
    return implied;
}

} // namespace recording
