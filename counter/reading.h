// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <cstdint>
#include <string>

namespace counter {

// What an instrument measures.
enum class Quantity : std::uint8_t {
    Frequency, // hertz
    Period,    // seconds
    Phase,     // seconds: a time interval, or the time error of an event against its nominal time
};

// One measurement as a telegram of the instrument told it.
struct Reading {
    double value = 0;      // in the unit of its quantity: hertz or seconds
    std::string valueText; // the number as the telegram wrote it
    std::string unitText;  // the unit the instrument showed, without blanks: "MHz", "ms", "s"
    Quantity quantity = Quantity::Frequency;
    std::string telegram; // the whole telegram
    // Milliseconds on the monotonic clock when the telegram's last byte was read.
    std::int64_t arrivalMs = 0;

    bool isPeriod() const { return quantity == Quantity::Period; }
};

} // namespace counter

Q_DECLARE_METATYPE(counter::Reading)
