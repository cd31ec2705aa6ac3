// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/telegram_reading.h"

#include "counter/display_dump.h"
#include "counter/telegram_text.h"

#include <cmath>

namespace counter {
namespace {

constexpr std::size_t kDumpLength = 32;
constexpr std::size_t kShortestHertzValue = 6;
constexpr std::size_t kLongestHertzValue = 14;

// A reading whose number does not convert is no reading: it would put a value the counter never
// measured into the log and the graph. Such telegrams count as status telegrams.
std::optional<Reading> displayDumpReading(const std::string& telegram) {
    const std::string numberField = dumpNumberField(telegram);
    const auto number = parseNumber(numberField);
    if (!number) {
        return std::nullopt;
    }
    const std::string unitField = dumpUnitField(telegram);
    // A huge number scaled to hertz can leave the range of a double; infinity is no reading.
    const double value = *number * unitFieldFactor(unitField);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return Reading{.value = value,
                   .valueText = numberField,
                   .unitText = removeSpaces(unitField),
                   .quantity =
                       unitFieldIsPeriod(unitField) ? Quantity::Period : Quantity::Frequency,
                   .telegram = telegram};
}

std::optional<Reading> hertzValueReading(const std::string& telegram) {
    const auto number = parseNumber(telegram);
    if (!number) {
        return std::nullopt;
    }
    return Reading{.value = *number,
                   .valueText = telegram,
                   .unitText = "Hz",
                   .quantity = Quantity::Frequency,
                   .telegram = telegram};
}

} // namespace

bool isIdentification(const std::string& telegram) {
    return telegram.compare(0, 5, "kelvo") == 0;
}

std::optional<Reading> readingFromTelegram(const std::string& telegram) {
    if (isDisplayDump(telegram)) {
        return displayDumpReading(telegram);
    }
    // A display dump has 32 characters: one that ends a longer telegram had line noise glued
    // in front of it.
    if (telegram.size() > kDumpLength && !isIdentification(telegram)) {
        const std::string tail = telegram.substr(telegram.size() - kDumpLength);
        return isDisplayDump(tail) ? displayDumpReading(tail) : std::nullopt;
    }
    if (telegram.size() < kShortestHertzValue || telegram.size() > kLongestHertzValue) {
        return std::nullopt;
    }
    return hertzValueReading(telegram);
}

} // namespace counter
