// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// Standard text-to-integer conversion of a value entry: leading blanks, an optional sign, then
// decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X". Nothing may follow.
// Empty text, a value outside the 32-bit signed range or any other text is not a number.
std::optional<std::int32_t> tryStrToInt(const std::string& text);

} // namespace app
