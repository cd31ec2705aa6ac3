// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace tools {

// Control and non-ASCII bytes (and the backslash) as \xNN, so a line holds any telegram.
std::string escape(std::string_view bytes);

// The record of everything the counter sent, one line per telegram:
// seconds<TAB>kind<TAB>value<TAB>escaped text. Lines are flushed at once for live readers.
class TelegramLog {
public:
    explicit TelegramLog(const std::string& path); // empty path: no log; throws on failure
    ~TelegramLog();
    TelegramLog(const TelegramLog&) = delete;
    TelegramLog& operator=(const TelegramLog&) = delete;

    void write(double seconds, std::string_view kind, std::optional<double> value,
               std::string_view text);

private:
    std::FILE* file_ = nullptr;
};

} // namespace tools
