// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace counter {

// The counter's 32-character display dump: "av...", unit field at characters 18-20, number field
// at characters 22-32 (counting from 1).
bool isDisplayDump(const std::string& telegram);
std::string dumpUnitField(const std::string& telegram);
std::string dumpNumberField(const std::string& telegram);

// Factor that brings a number shown with this unit field to hertz or seconds; 1 for a unit field
// the counter does not use (the number is taken as it stands).
double unitFieldFactor(const std::string& unitField);

// The unit's third character decides: "z" is a frequency, anything else a period.
bool unitFieldIsPeriod(const std::string& unitField);

} // namespace counter
