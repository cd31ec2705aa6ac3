// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Text helpers of the counter driver. Telegram text is 8-bit and compared byte for byte.

namespace counter {

// The number in a telegram field. "." is always a decimal point; the machine's own decimal
// separator is accepted too. Blanks around the number are ignored; thousands separators are not.
// Nothing when the text is not a number (or does not fit a double).
std::optional<double> parseNumber(const std::string& text);

// The text without any blank (character 32).
std::string removeSpaces(const std::string& text);

} // namespace counter
