#include "serial/receive_buffer.h"

#include <algorithm>

namespace serial {

std::string DelimiterText(TDelimiter delimiter) {
    switch (delimiter) {
    case TDelimiter::CR:
        return "\r";
    case TDelimiter::LF:
        return "\n";
    case TDelimiter::CRLF:
        return "\r\n";
    case TDelimiter::Null:
        return std::string(1, '\0');
    case TDelimiter::no:
        break;
    }
    return {};
}

std::string CleanTelegram(const std::string& raw) {
    const auto end = std::find_if(raw.begin(), raw.end(),
                                  [](char c) { return static_cast<unsigned char>(c) < 32; });
    return std::string(raw.begin(), end);
}

std::optional<std::string> CutTelegram(std::string& buffer, const std::string& delimiter) {
    const auto at = buffer.find(delimiter);
    if (delimiter.empty() || at == std::string::npos) {
        return std::nullopt;
    }
    std::string telegram = CleanTelegram(buffer.substr(0, at));
    buffer.erase(0, at + delimiter.size());
    return telegram;
}

bool HoldsTelegram(const std::string& buffer, const std::string& delimiter) {
    return !delimiter.empty() && buffer.find(delimiter) != std::string::npos;
}

bool BoundReceiveBuffer(std::string& buffer, const std::string& delimiter, std::size_t limit) {
    if (buffer.size() <= limit || HoldsTelegram(buffer, delimiter)) {
        return false;
    }
    buffer.erase(0, buffer.size() - limit);
    return true;
}

} // namespace serial
