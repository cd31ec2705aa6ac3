// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/argument_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace cli {

ParsedArguments parseArguments(std::span<const std::string> arguments,
                               std::span<const KnownOption> known) {
    ParsedArguments parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            parsed.operands.insert(parsed.operands.end(), arguments.begin() + i + 1,
                                   arguments.end());
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            parsed.operands.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const auto match =
            std::find_if(known.begin(), known.end(),
                         [&name](const KnownOption& option) { return option.name == name; });
        if (match == known.end()) {
            parsed.error = "unknown option '" + name + "'";
            return parsed;
        }
        ParsedArguments::Option option{name, {}};
        if (equals != std::string::npos) {
            if (!match->takesValue) {
                parsed.error = name + " takes no value";
                return parsed;
            }
            option.value = argument.substr(equals + 1);
        } else if (match->takesValue) {
            if (i + 1 == arguments.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            option.value = arguments[++i];
        }
        parsed.options.push_back(std::move(option));
    }
    return parsed;
}

std::optional<double> parseNumberArgument(std::string_view text) {
    std::string number(text);
    if (std::count(number.begin(), number.end(), ',') == 1 &&
        number.find('.') == std::string::npos) {
        std::replace(number.begin(), number.end(), ',', '.');
    }
    const char* first = number.data();
    const char* last = number.data() + number.size();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseDurationArgument(std::string_view text) {
    double unitSeconds = 1;
    if (!text.empty()) {
        switch (text.back()) {
        case 's':
            unitSeconds = 1;
            break;
        case 'm':
            unitSeconds = 60;
            break;
        case 'h':
            unitSeconds = 3600;
            break;
        case 'd':
            unitSeconds = 86400;
            break;
        default:
            unitSeconds = 0;
        }
        if (unitSeconds > 0) {
            text.remove_suffix(1);
        }
    }
    const std::optional<double> number = parseNumberArgument(text);
    if (!number || *number <= 0) {
        return std::nullopt;
    }
    return *number * (unitSeconds > 0 ? unitSeconds : 1);
}

} // namespace cli
