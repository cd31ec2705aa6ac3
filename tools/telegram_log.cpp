// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/telegram_log.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>

namespace tools {

std::string escape(std::string_view bytes) {
    static const char* const kHexDigits = "0123456789abcdef";
    std::string text;
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126 || c == '\\') {
            text += "\\x";
            text += kHexDigits[code >> 4];
            text += kHexDigits[code & 15];
        } else {
            text += c;
        }
    }
    return text;
}

TelegramLog::TelegramLog(const std::string& path) {
    if (path.empty()) {
        return;
    }
    file_ = std::fopen(path.c_str(), "a");
    if (!file_) {
        throw std::runtime_error("cannot open the log " + path + ": " + std::strerror(errno));
    }
}

TelegramLog::~TelegramLog() {
    if (file_) {
        std::fclose(file_);
    }
}

void TelegramLog::write(double seconds, std::string_view kind, std::optional<double> value,
                        std::string_view text) {
    if (!file_) {
        return;
    }
    // Shortest round-trip form: the value reads back to the very same double.
    char number[64] = "-";
    if (value) {
        *std::to_chars(number, number + sizeof number - 1, *value).ptr = '\0';
    }
    char time[32];
    *std::to_chars(time, time + sizeof time - 1, seconds, std::chars_format::fixed, 3).ptr = '\0';
    std::fprintf(file_, "%s\t%.*s\t%s\t%s\n", time, static_cast<int>(kind.size()), kind.data(),
                 number, escape(text).c_str());
    std::fflush(file_);
}

} // namespace tools
