// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/telegram_text.h"

#include <QLocale>
#include <charconv>
#include <cmath>

namespace counter {

namespace {

char localeDecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128
               ? static_cast<char>(point.at(0).unicode())
               : '.';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Strict float syntax: [sign] digits [sep digits] [(E|e) [sign] digits], at least one mantissa
// digit, nothing else. Returns the text rewritten with "." as separator, ready for from_chars.
std::optional<std::string> canonicalFloat(const std::string& text, char separator) {
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
        return std::nullopt;
    }
    std::string out;
    std::size_t i = begin;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-') {
            out += '-';
        }
        ++i;
    }
    int mantissaDigits = 0;
    while (i <= end && isDigit(text[i])) {
        out += text[i++];
        ++mantissaDigits;
    }
    if (i <= end && text[i] == separator) {
        out += '.';
        ++i;
        while (i <= end && isDigit(text[i])) {
            out += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i <= end && (text[i] == 'e' || text[i] == 'E')) {
        out += 'e';
        ++i;
        if (i <= end && (text[i] == '+' || text[i] == '-')) {
            out += text[i++];
        }
        int exponentDigits = 0;
        while (i <= end && isDigit(text[i])) {
            out += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != end + 1) {
        return std::nullopt;
    }
    return out;
}

} // namespace

std::optional<double> parseNumber(const std::string& text) {
    const char separator = localeDecimalSeparator();
    std::string withSeparator = text;
    for (char& c : withSeparator) {
        if (c == '.') {
            c = separator;
        }
    }
    const auto canonical = canonicalFloat(withSeparator, separator);
    if (!canonical) {
        return std::nullopt;
    }
    double value = 0;
    const char* first = canonical->data();
    const char* last = first + canonical->size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string removeSpaces(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

} // namespace counter
