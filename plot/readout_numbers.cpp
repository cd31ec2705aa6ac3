// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/readout_numbers.h"

#include "plot/fixed_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace plot {

namespace {

// Digits of a double worth showing; further ones are noise of the binary value.
constexpr int kSignificantDigits = 15;

// Number texts with a point whatever the process locale says.
std::string toChars(double v, std::chars_format format, int precision) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, v, format, precision);
    return std::string(text, result.ptr);
}

std::string nonFinite(double v) {
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

std::string exponentForm(int n, double magnitude, bool lowerCaseExponent) {
    const std::string scientific =
        toChars(magnitude, std::chars_format::scientific, kSignificantDigits - 1);
    const std::size_t mark = scientific.find('e');
    const std::string mantissa = scientific.substr(0, std::min<std::size_t>(n + 1, mark));
    const int exponent = std::stoi(scientific.substr(mark + 1));
    return mantissa + (lowerCaseExponent ? "e" : "E") + std::to_string(exponent);
}

std::string fixedForm(int n, int e, double magnitude) {
    std::string text = toChars(magnitude, std::chars_format::fixed, std::max(n - e, 0));
    if (e > n) {
        for (std::size_t i = n; i < text.size(); ++i) {
            text[i] = '0';
        }
    }
    return text;
}

} // namespace

double roundToStep(double v, double step) {
    if (!(step > 0)) {
        return v;
    }
    if (v >= 0) {
        return step * std::trunc(v / step + 0.5);
    }
    return -step * std::trunc(-v / step + 0.5);
}

std::string formatSignificant(int n, double v, bool lowerCaseExponent) {
    if (v == 0) {
        return "0";
    }
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    // At least one digit: with none, every value would read "0".
    n = std::max(n, 1);
    const double magnitude = std::fabs(v);
    const double decade = std::trunc(std::log10(magnitude));
    const int e = static_cast<int>(magnitude >= 1 ? decade + 1 : decade);
    const std::string digits = (e > n + 1 || e <= -2)
                                   ? exponentForm(n, magnitude, lowerCaseExponent)
                                   : fixedForm(n, e, magnitude);
    return v < 0 ? "-" + digits : digits;
}

std::string formatFixed(double v, int d) {
    if (!std::isfinite(v)) {
        return nonFinite(v);
    }
    if (d < 0) {
        const double unit = std::pow(10.0, -d);
        return fixedText(std::round(v / unit) * unit, 0);
    }
    return fixedText(v, d);
}

} // namespace plot
