#include "counter/journal_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace counter {
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

std::optional<std::int64_t> journalWholeMs(double timeMs) {
    constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53
    if (!(std::fabs(timeMs) <= kLargestExactInteger) || timeMs != std::trunc(timeMs) ||
        std::signbit(timeMs) != (timeMs < 0)) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(timeMs);
}

// A 32-byte telegram beginning "av" is a display dump: the number in bytes 22-32 times the
// factor of the unit field in bytes 18-20; the unit is that field without blanks. Any other
// telegram is a number in hertz.
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

} // namespace counter
