// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace recording {
namespace {

constexpr int kPrecision = 15;

struct DecimalDigits {
    std::string digits; // significant digits without trailing zeros, at least one
    int exponent = 0;   // value = D.DDD x 10^Exponent
};

// Rounds to kPrecision significant digits (round half even on the exact binary value).
DecimalDigits toDecimalDigits(double magnitude) {
    char buffer[40];
    // The same digits as printf's %.14e, several times faster: saving a long log formats
    // millions of them.
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                                   std::chars_format::scientific, kPrecision - 1);
    const std::string text(buffer, end.ptr);
    const auto e = text.find('e');
    DecimalDigits result;
    result.digits = text.substr(0, 1) + text.substr(2, e - 2);
    result.exponent = std::atoi(text.c_str() + e + 1);
    while (result.digits.size() > 1 && result.digits.back() == '0') {
        result.digits.pop_back();
    }
    return result;
}

std::string scientificText(const DecimalDigits& d, char decimalSeparator) {
    std::string text(1, d.digits[0]);
    if (d.digits.size() > 1) {
        text += decimalSeparator;
        text += d.digits.substr(1);
    }
    text += 'E';
    if (d.exponent < 0) {
        text += '-';
    }
    text += std::to_string(std::abs(d.exponent));
    return text;
}

std::string fixedText(const DecimalDigits& d, char decimalSeparator) {
    const int integerDigits = d.exponent + 1;
    if (integerDigits <= 0) {
        return std::string("0") + decimalSeparator + std::string(-integerDigits, '0') + d.digits;
    }
    if (static_cast<int>(d.digits.size()) <= integerDigits) {
        return d.digits + std::string(integerDigits - d.digits.size(), '0');
    }
    return d.digits.substr(0, integerDigits) + decimalSeparator + d.digits.substr(integerDigits);
}

} // namespace

char decimalSeparatorOf(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    if (point.size() != 1 || point.at(0).unicode() > 0xFF) {
        return '.';
    }
    return static_cast<char>(point.at(0).unicode());
}

char machineDecimalSeparator() {
    return decimalSeparatorOf(QLocale::system());
}

std::string floatToStr(double value, char decimalSeparator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    if (value == 0) {
        return "0";
    }
    const std::string sign = value < 0 ? "-" : "";
    const DecimalDigits d = toDecimalDigits(std::fabs(value));
    // Decided on the rounded digits, so 999999999999999.9 becomes 1E15.
    const bool tooSmall = d.exponent < -5;
    const bool tooLarge = d.exponent + 1 > kPrecision;
    return sign + (tooSmall || tooLarge ? scientificText(d, decimalSeparator)
                                        : fixedText(d, decimalSeparator));
}

std::string floatToStr(double value) {
    return floatToStr(value, machineDecimalSeparator());
}

} // namespace recording
