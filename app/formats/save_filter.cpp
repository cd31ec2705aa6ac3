// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/save_filter.h"

namespace app {

std::vector<SaveFilterChoice> parseSaveFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string::npos ? filter.size() : bar;
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    std::vector<SaveFilterChoice> choices;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        choices.push_back({parts[i], parts[i + 1]});
    }
    return choices;
}

std::string suffixOfPattern(const std::string& pattern) {
    const std::size_t dot = pattern.rfind('.');
    if (dot == std::string::npos) {
        return {};
    }
    const std::string suffix = pattern.substr(dot + 1);
    return suffix.find_first_of("*?;") == std::string::npos ? suffix : std::string();
}

} // namespace app
