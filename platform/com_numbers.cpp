// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com_numbers.h"

#include <algorithm>
#include <optional>

namespace platform {

namespace {

constexpr std::size_t kMostDigits = 6;

std::optional<int> parseNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > kMostDigits || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int number = 0;
    for (char c : digits) {
        number = number * 10 + (c - '0');
    }
    return number;
}

bool printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7f;
    });
}

} // namespace

ComNumbers parseComNumbers(std::string_view text) {
    ComNumbers numbers;
    std::set<int> taken;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t blank = line.find(' ');
        if (line.empty() || line[0] == '#' || blank == std::string_view::npos) {
            continue;
        }
        const auto number = parseNumber(line.substr(0, blank));
        const std::string_view identity = line.substr(blank + 1);
        if (!number || identity.empty() || !printable(identity) || taken.count(*number) ||
            numbers.count(std::string(identity))) {
            continue;
        }
        taken.insert(*number);
        numbers.emplace(identity, *number);
    }
    return numbers;
}

std::string formatComNumbers(const ComNumbers& numbers) {
    std::map<int, const std::string*> byNumber;
    for (const auto& [identity, number] : numbers) {
        byNumber.emplace(number, &identity);
    }
    std::string text = "# COM numbers of this user's serial devices: number, blank, identity\n";
    for (const auto& [number, identity] : byNumber) {
        text += std::to_string(number) + " " + *identity + "\n";
    }
    return text;
}

std::vector<int> assignComNumbers(ComNumbers& numbers, const std::vector<std::string>& identities,
                                  const std::set<int>& claimed) {
    std::set<int> taken = claimed;
    for (const auto& entry : numbers) {
        taken.insert(entry.second);
    }
    std::vector<int> given(identities.size(), 0);
    for (std::size_t i = 0; i < identities.size(); ++i) {
        const auto known = numbers.find(identities[i]);
        if (known != numbers.end() && !claimed.count(known->second)) {
            given[i] = known->second;
        }
    }
    int lowest = 1;
    for (std::size_t i = 0; i < identities.size(); ++i) {
        if (given[i] != 0) {
            continue;
        }
        while (taken.count(lowest)) {
            ++lowest;
        }
        given[i] = lowest;
        taken.insert(lowest);
        numbers[identities[i]] = lowest;
    }
    return given;
}

} // namespace platform
