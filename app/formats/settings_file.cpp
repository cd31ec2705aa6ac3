// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/settings_file.h"

#include "app/formats/int_text.h"
#include "app/formats/io_messages.h"

#include "platform/replacing_file.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace app {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads the file the way text-file input reads numbers: each number is the next token after
// any blanks and line ends, and the rest of its line is dropped afterwards.
class SettingsReader {
public:
    explicit SettingsReader(std::string text) : text_(std::move(text)) {}

    std::string readWholeLine() {
        const std::size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
        std::string line = text_.substr(pos_, end - pos_);
        pos_ = end;
        skipRestOfLine();
        return line;
    }

    // The next token, or nothing at the end of the file (a missing number reads as 0).
    std::optional<std::string> nextNumberToken() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
        if (pos_ == text_.size()) {
            return std::nullopt;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) {
            ++pos_;
        }
        std::string token = text_.substr(start, pos_ - start);
        skipRestOfLine();
        return token;
    }

private:
    void skipRestOfLine() {
        const std::size_t lf = text_.find('\n', pos_);
        pos_ = lf == std::string::npos ? text_.size() : lf + 1;
    }

    std::string text_;
    std::size_t pos_ = 0;
};

// Sign, digits with at most one "." (at least one digit), optional exponent; "." always.
std::optional<double> parseReal(const std::string& token) {
    std::size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
        ++i;
    }
    const std::size_t mantissa = i;
    int digits = 0;
    bool point = false;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < token.size() && (token[j] == '+' || token[j] == '-')) {
            ++j;
        }
        const std::size_t expDigits = j;
        while (j < token.size() && token[j] >= '0' && token[j] <= '9') {
            ++j;
        }
        if (j == expDigits) {
            return std::nullopt;
        }
        i = j;
    }
    if (i != token.size()) {
        return std::nullopt;
    }
    double value = 0;
    const char* first = token.data() + mantissa;
    const auto [end, ec] = std::from_chars(first, token.data() + token.size(), value);
    if (end != token.data() + token.size()) {
        return std::nullopt;
    }
    if (ec == std::errc::result_out_of_range) {
        value = 0; // beyond a double either way: unusable, so the divisor guard turns it into 1
    }
    return token[0] == '-' ? -value : value;
}

double saneDivisor(double divisor) {
    return divisor == 0 || !std::isfinite(divisor) ? 1 : divisor;
}

int saneMask(int mask) {
    const int low = mask & 0xFF;
    return low == 0 ? 0xFF : low;
}

// Reads the numbers after the port line; stops at the first token that is not a number.
bool readNumbers(SettingsReader& reader, Settings& s) {
    for (double* real : {&s.timeDivisor, &s.frequencyDivisor}) {
        const auto token = reader.nextNumberToken();
        const auto value = token ? parseReal(*token) : std::optional<double>(0);
        if (!value) {
            return false;
        }
        *real = *value;
    }
    for (int* whole : {&s.left, &s.top, &s.width, &s.height, &s.filterShow, &s.filterType}) {
        const auto token = reader.nextNumberToken();
        const auto value = token ? tryStrToInt(*token) : std::optional<std::int32_t>(0);
        if (!value) {
            return false;
        }
        *whole = *value;
    }
    return true;
}

} // namespace

std::string settingsFileName(const std::string& executableFolder) {
    if (executableFolder.empty()) {
        return {};
    }
    const bool hasSeparator = executableFolder.back() == '/';
    return executableFolder + (hasSeparator ? "" : "/") + "Zorvimet.ini";
}

std::string readSettings(const std::string& fileName, Settings& settings) {
    settings.savedPort.clear();
    settings.timeDivisor = 1;
    settings.frequencyDivisor = 1;
    QFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (fileName.empty() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    SettingsReader reader(file.readAll().toStdString());
    file.close();
    settings.savedPort = reader.readWholeLine();
    const bool complete = readNumbers(reader, settings);
    // Also after a bad token: a damaged file must not leave a division by 0 or an empty list.
    settings.timeDivisor = saneDivisor(settings.timeDivisor);
    settings.frequencyDivisor = saneDivisor(settings.frequencyDivisor);
    settings.filterShow = saneMask(settings.filterShow);
    settings.filterType = saneMask(settings.filterType);
    return complete ? std::string() : std::string(kInvalidNumericInput);
}

std::string settingsRealText(double value) {
    if (!std::isfinite(value)) {
        const std::string word = std::isnan(value) ? "Nan" : value > 0 ? "+Inf" : "-Inf";
        return std::string(23 - word.size(), ' ') + word;
    }
    // Beyond this, 15 digits round up to a number too large for a double, which would not read
    // back; the largest doubles are written as this instead.
    constexpr double kLargestWritten = 1.79769313486231e308;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14E",
                  std::clamp(value, -kLargestWritten, kLargestWritten));
    std::string text(buffer);
    const std::size_t e = text.find('E');
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::snprintf(buffer, sizeof buffer, "%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    text = text.substr(0, e + 1) + buffer;
    return text[0] == '-' ? text : " " + text;
}

std::string writeSettings(const std::string& fileName, const Settings& s) {
    std::string text = s.savedPort + kLineEnd;
    text += settingsRealText(s.timeDivisor) + kLineEnd;
    text += settingsRealText(s.frequencyDivisor) + kLineEnd;
    for (int whole : {s.left, s.top, s.width, s.height, s.filterShow, s.filterType}) {
        text += std::to_string(whole) + kLineEnd;
    }
    platform::ReplacingFile file(fileName);
    const bool written =
        !fileName.empty() && file.open().empty() && file.write(text) && file.commit().empty();
    return written ? std::string() : std::string(kFileAccessDenied);
}

} // namespace app
