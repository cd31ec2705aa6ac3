// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/axis_labels.h"

#include "plot/extended_rounding.h"
#include "plot/fixed_text.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace plot {

char exponentLetter(double symbolExponentSetting) {
    return symbolExponentSetting > 0 ? 'e' : 'E';
}

void setCommonFactor(LabelFormat& format, double code) {
    if (code == 0 || !std::isfinite(code)) {
        format.commonFactor = 0;
        format.commonFactorDecimals = 0;
        format.commonFactorSuffix.clear();
        return;
    }
    const long double magnitude = std::fabs(static_cast<long double>(code));
    const long double whole = std::min(trunc(magnitude), static_cast<long double>(INT_MAX));
    const int n = static_cast<int>(whole);
    format.commonFactor = static_cast<double>(std::pow(10.0L, code > 0 ? -whole : whole));
    format.commonFactorDecimals = roundToInt((magnitude - trunc(magnitude)) * 10);
    format.commonFactorSuffix =
        std::string(1, format.exponentLetter) + std::to_string(code > 0 ? n : -n);
}

std::string formatGeneralLabel(const LabelFormat& format, int decimals, double v) {
    const std::string letter(1, format.exponentLetter);
    long double t = v;
    if (format.commonFactor != 0)
        return fixedText(t * format.commonFactor, format.commonFactorDecimals) +
               format.commonFactorSuffix;
    if (t == 0)
        return "0";
    if (decimals <= -3) {
        for (int i = 0; i < -decimals; ++i)
            t /= 10;
        return fixedText(t, 0) + letter + std::to_string(-decimals);
    }
    if (decimals <= 0)
        return fixedText(t, 0);
    if (std::fabs(t) > 0.0095L || !std::isfinite(t))
        return fixedText(t, decimals);
    int c = 0;
    while (std::fabs(t) <= 1) {
        t *= 10;
        ++c;
    }
    return fixedText(t, std::max(decimals - c, 0)) + letter + std::to_string(-c);
}

std::string formatFixedLabel(int decimals, double v) {
    return fixedText(v, std::max(decimals, 0));
}

std::string decadeLabel(int exponent, int digit, char exponentLetter) {
    std::string text;
    switch (exponent) {
    case -2:
        text = "0.01";
        break;
    case -1:
        text = "0.1";
        break;
    case 0:
        text = "1";
        break;
    case 1:
        text = "10";
        break;
    case 2:
        text = "100";
        break;
    case 3:
        text = "1000";
        break;
    default:
        text = "1" + std::string(1, exponentLetter) + std::to_string(exponent);
        break;
    }
    text.replace(text.find('1'), 1, std::to_string(digit));
    return text;
}

double applyZeroRule(double t, double majorStep) {
    return std::fabs(t) < majorStep / 2 ? 0.0 : t;
}

std::string linearTickLabel(const LabelFormat& format, const LinearLabelStyle& style, int decimals,
                            double majorStep, double t) {
    const bool atZero = std::fabs(t) < majorStep / 2;
    if (style.suppressZero && atZero)
        return {};
    t = applyZeroRule(t, majorStep);
    std::string text =
        style.fixedFormat ? formatFixedLabel(decimals, t) : formatGeneralLabel(format, decimals, t);
    return text + style.unitSuffix;
}

} // namespace plot
