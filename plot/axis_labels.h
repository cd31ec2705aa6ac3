// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace plot {

// How the number labels of the axis being drawn are written.
struct LabelFormat {
    char exponentLetter = 'E';
    double commonFactor = 0; // multiplier of every label, 0 = none
    int commonFactorDecimals = 0;
    std::string commonFactorSuffix; // appended to every label while CommonFactor is set
};

// "symbol exponent" setting: a positive value writes exponents with "e", otherwise "E".
char exponentLetter(double symbolExponentSetting);

// Fills the common factor from a "format sci labels" code: 3.2 divides by 1000, shows 2
// decimals and appends E3; -6.1 multiplies by 1e6, shows 1 decimal and appends E-6; 0 is none.
void setCommonFactor(LabelFormat& format, double code);

std::string formatGeneralLabel(const LabelFormat& format, int decimals, double v);
std::string formatFixedLabel(int decimals, double v);

// Label of the logarithmic tick digit x 10^exponent: (2, 5) -> "500", (-2, 2) -> "0.02",
// (6, 2) -> "2E6".
std::string decadeLabel(int exponent, int digit, char exponentLetter);

// A tick that the walk reached by repeated addition counts as zero when it lies within half a
// major step of it.
double applyZeroRule(double t, double majorStep);

struct LinearLabelStyle {
    bool fixedFormat = false;
    std::string unitSuffix;    // x axes only
    bool suppressZero = false; // "do not plot 0"
};

// Text of the major tick at t of a linear axis.
std::string linearTickLabel(const LabelFormat& format, const LinearLabelStyle& style, int decimals,
                            double majorStep, double t);

} // namespace plot
