// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// An option a command knows: "--name" alone, or with a value as "--name VALUE" or
// "--name=VALUE".
struct KnownOption {
    std::string_view name; // with its dashes
    bool takesValue = false;
};

struct ParsedArguments {
    // The options in the order given (value empty for one that takes none); an option may come
    // more than once.
    struct Option {
        std::string name;
        std::string value;
    };
    std::vector<Option> options;
    std::vector<std::string> operands; // everything else, and all after "--"
    std::string error;                 // empty when the arguments were good
};

// Sorts a command's arguments into its options and operands; an unknown option, one without
// its value or a value for an option that takes none is an error.
ParsedArguments parseArguments(std::span<const std::string> arguments,
                               std::span<const KnownOption> known);

// A number as a user types it, with "." or "," as the decimal point; empty when `text` is not
// a finite number.
std::optional<double> parseNumberArgument(std::string_view text);

// A span as "90", "90s", "15m", "24h" or "7d" (a number above 0 with an optional unit; seconds
// without one) in seconds; empty when `text` is none.
std::optional<double> parseDurationArgument(std::string_view text);

} // namespace cli
