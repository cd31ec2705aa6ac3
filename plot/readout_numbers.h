// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace plot {

// Number texts of the ruler readout.

// v rounded to a multiple of step, halves away from zero; a step that is not positive leaves v.
double roundToStep(double v, double step);

// v with n significant digits: exponent form ("5.00E-3", "1.23E4") for very large or small
// values, otherwise a plain decimal text whose digits beyond the n-th read "0" ("1230").
// lowerCaseExponent selects "e" instead of "E".
std::string formatSignificant(int n, double v, bool lowerCaseExponent = false);

// v as plain decimal text with exactly d decimals and a point; a negative d rounds v to a
// multiple of 10^(-d) and shows no decimals.
std::string formatFixed(double v, int d);

} // namespace plot
