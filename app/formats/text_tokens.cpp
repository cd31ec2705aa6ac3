// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/text_tokens.h"

#include <algorithm>

namespace app {

std::string trimLeading(const std::string& text, char separator) {
    const auto first = std::find_if(text.begin(), text.end(), [separator](char c) {
        return c != ' ' && c != '\t' && c != '\0' && c != separator;
    });
    return std::string(first, text.end());
}

std::string nextToken(std::string& line, char separator) {
    line = trimLeading(line, separator);
    if (line.empty()) {
        return {};
    }
    if (line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        if (close == std::string::npos) {
            std::string token = line.substr(1);
            line.clear();
            return token;
        }
        std::string token = line.substr(1, close - 1);
        line.erase(0, close + 1);
        return token;
    }
    const std::size_t end =
        std::min(line.find_first_of(std::string(" \t") + separator), line.size());
    std::string token = line.substr(0, end);
    line.erase(0, end);
    std::transform(token.begin(), token.end(), token.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return token;
}

std::string replaceChar(std::string text, char find, char replacement) {
    std::replace(text.begin(), text.end(), find, replacement);
    return text;
}

} // namespace app
