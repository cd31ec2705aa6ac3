#include "plot/readout_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Digits of a double worth showing; further ones are noise of the binary value.
constexpr int kSignificantDigits = 15;

std::string Printf(const char* format, int precision, double v) {
    char text[400];
    std::snprintf(text, sizeof text, format, precision, v);
    return text;
}

// A rounded zero keeps no minus sign: "-0.00" reads as a value below zero.
std::string WithoutNegativeZero(std::string text) {
    if (text.starts_with('-') && text.find_first_not_of("0.", 1) == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string ExponentForm(int n, double magnitude, bool lowerCaseExponent) {
    const std::string scientific = Printf("%.*e", kSignificantDigits - 1, magnitude);
    const std::size_t mark = scientific.find('e');
    const std::string mantissa = scientific.substr(0, std::min<std::size_t>(n + 1, mark));
    const int exponent = std::stoi(scientific.substr(mark + 1));
    return mantissa + (lowerCaseExponent ? "e" : "E") + std::to_string(exponent);
}

std::string FixedForm(int n, int e, double magnitude) {
    std::string text = Printf("%.*f", std::max(n - e, 0), magnitude);
    if (e > n) {
        for (std::size_t i = n; i < text.size(); ++i) {
            text[i] = '0';
        }
    }
    return text;
}

} // namespace

double RoundToStep(double v, double step) {
    if (!(step > 0)) {
        return v;
    }
    if (v >= 0) {
        return step * std::trunc(v / step + 0.5);
    }
    return -step * std::trunc(-v / step + 0.5);
}

std::string FormatSignificant(int n, double v, bool lowerCaseExponent) {
    if (v == 0) {
        return "0";
    }
    if (!std::isfinite(v)) {
        return Printf("%.*g", 0, v);
    }
    // At least one digit: with none, every value would read "0".
    n = std::max(n, 1);
    const double magnitude = std::fabs(v);
    const double decade = std::trunc(std::log10(magnitude));
    const int e = static_cast<int>(magnitude >= 1 ? decade + 1 : decade);
    const std::string digits = (e > n + 1 || e <= -2)
                                   ? ExponentForm(n, magnitude, lowerCaseExponent)
                                   : FixedForm(n, e, magnitude);
    return v < 0 ? "-" + digits : digits;
}

std::string FormatFixed(double v, int d) {
    if (!std::isfinite(v)) {
        return Printf("%.*g", 0, v);
    }
    if (d < 0) {
        const double unit = std::pow(10.0, -d);
        return WithoutNegativeZero(Printf("%.*f", 0, std::round(v / unit) * unit));
    }
    return WithoutNegativeZero(Printf("%.*f", d, v));
}
