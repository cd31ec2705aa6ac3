// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace analysis {

// Numbers as text with "." as the decimal point whatever the locale, for tables that are read
// by people and by programs alike. A value that is not finite comes out as "nan", "inf" or
// "-inf".

// The shorter of fixed and exponent notation with at most `significantDigits` digits and no
// trailing zeros, as printf's %g gives it ("1", "12.8", "1.0000000000000001e-05").
std::string generalText(double value, int significantDigits);

// Exponent notation with `decimals` digits after the point ("9.9384e-10").
std::string scientificText(double value, int decimals);

} // namespace analysis
