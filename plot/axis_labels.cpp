#include "plot/axis_labels.h"

#include "plot/extended_rounding.h"
#include "plot/fixed_text.h"

#include <algorithm>
#include <climits>
#include <cmath>

char ExponentLetter(double symbolExponentSetting) {
    return symbolExponentSetting > 0 ? 'e' : 'E';
}

void SetCommonFactor(LabelFormat& format, double code) {
    if (code == 0 || !std::isfinite(code)) {
        format.CommonFactor = 0;
        format.CommonFactorDecimals = 0;
        format.CommonFactorSuffix.clear();
        return;
    }
    const long double magnitude = std::fabs(static_cast<long double>(code));
    const long double whole = std::min(Trunc(magnitude), static_cast<long double>(INT_MAX));
    const int n = static_cast<int>(whole);
    format.CommonFactor = static_cast<double>(std::pow(10.0L, code > 0 ? -whole : whole));
    format.CommonFactorDecimals = RoundToInt((magnitude - Trunc(magnitude)) * 10);
    format.CommonFactorSuffix =
        std::string(1, format.ExponentLetter) + std::to_string(code > 0 ? n : -n);
}

std::string FormatGeneralLabel(const LabelFormat& format, int decimals, double v) {
    const std::string letter(1, format.ExponentLetter);
    long double t = v;
    if (format.CommonFactor != 0)
        return FixedText(t * format.CommonFactor, format.CommonFactorDecimals) +
               format.CommonFactorSuffix;
    if (t == 0)
        return "0";
    if (decimals <= -3) {
        for (int i = 0; i < -decimals; ++i)
            t /= 10;
        return FixedText(t, 0) + letter + std::to_string(-decimals);
    }
    if (decimals <= 0)
        return FixedText(t, 0);
    if (std::fabs(t) > 0.0095L || !std::isfinite(t))
        return FixedText(t, decimals);
    int c = 0;
    while (std::fabs(t) <= 1) {
        t *= 10;
        ++c;
    }
    return FixedText(t, std::max(decimals - c, 0)) + letter + std::to_string(-c);
}

std::string FormatFixedLabel(int decimals, double v) {
    return FixedText(v, std::max(decimals, 0));
}

std::string DecadeLabel(int exponent, int digit, char exponentLetter) {
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

double ApplyZeroRule(double t, double majorStep) {
    return std::fabs(t) < majorStep / 2 ? 0.0 : t;
}

std::string LinearTickLabel(const LabelFormat& format, const LinearLabelStyle& style, int decimals,
                            double majorStep, double t) {
    const bool atZero = std::fabs(t) < majorStep / 2;
    if (style.SuppressZero && atZero)
        return {};
    t = ApplyZeroRule(t, majorStep);
    std::string text =
        style.FixedFormat ? FormatFixedLabel(decimals, t) : FormatGeneralLabel(format, decimals, t);
    return text + style.UnitSuffix;
}
