// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <string>

namespace recording {

// A locale's decimal separator as one 8-bit character ("." where it has no such character).
char decimalSeparatorOf(const QLocale& locale);

// The decimal separator of the machine's number format (LC_NUMERIC through Qt's system locale).
char machineDecimalSeparator();

// Standard float-to-text: general format, at most 15 significant digits, no trailing zeros.
// Fixed notation unless the magnitude is below 0.00001 or has more than 15 integer digits;
// then scientific with the shortest exponent, e.g. "1.5E-6", "1E20".
std::string floatToStr(double value, char decimalSeparator);
std::string floatToStr(double value);

} // namespace recording
