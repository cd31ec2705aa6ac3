// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/receive_buffer.h"

#include <algorithm>

namespace serial {

std::string delimiterText(Delimiter delimiter) {
    switch (delimiter) {
    case Delimiter::Cr:
        return "\r";
    case Delimiter::Lf:
        return "\n";
    case Delimiter::CrLf:
        return "\r\n";
    case Delimiter::Null:
        return std::string(1, '\0');
    case Delimiter::None:
        break;
    }
    return {};
}

std::optional<char> lineEndOf(Delimiter delimiter) {
    switch (delimiter) {
    case Delimiter::Cr:
        return '\r';
    case Delimiter::Lf:
    case Delimiter::CrLf:
        return '\n';
    case Delimiter::Null:
    case Delimiter::None:
        break;
    }
    return std::nullopt;
}

std::string cleanTelegram(std::string_view raw) {
    const auto end = std::find_if(raw.begin(), raw.end(),
                                  [](char c) { return static_cast<unsigned char>(c) < 32; });
    return std::string(raw.begin(), end);
}

std::vector<std::string> cutTelegrams(std::string& buffer, const std::string& delimiter) {
    std::vector<std::string> telegrams;
    if (delimiter.empty()) {
        return telegrams;
    }
    // One erase at the end: a long run of short telegrams costs no more than its bytes.
    std::size_t start = 0;
    for (auto at = buffer.find(delimiter); at != std::string::npos;
         at = buffer.find(delimiter, start)) {
        telegrams.push_back(cleanTelegram(std::string_view(buffer).substr(start, at - start)));
        start = at + delimiter.size();
    }
    buffer.erase(0, start);
    return telegrams;
}

bool holdsTelegram(const std::string& buffer, const std::string& delimiter) {
    return !delimiter.empty() && buffer.find(delimiter) != std::string::npos;
}

bool boundReceiveBuffer(std::string& buffer, const std::string& delimiter, std::size_t limit) {
    if (buffer.size() <= limit || holdsTelegram(buffer, delimiter)) {
        return false;
    }
    buffer.erase(0, buffer.size() - limit);
    return true;
}

} // namespace serial
