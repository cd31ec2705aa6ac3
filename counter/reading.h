// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <string>

namespace counter {

// One measurement as a telegram of the counter told it.
struct Reading {
    double value = 0;      // hertz for a frequency, seconds for a period
    std::string valueText; // the number as the telegram wrote it
    std::string unitText;  // the unit the counter showed, without blanks: "MHz", "ms", "Hz"
    bool isPeriod = false;
    std::string telegram; // the whole telegram
};

} // namespace counter

Q_DECLARE_METATYPE(counter::Reading)
