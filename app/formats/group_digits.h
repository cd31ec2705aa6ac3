// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// Blanks between groups of three characters, counted outward from the first "." on both sides,
// as the big display shows a reading: "10000000.000" -> "10 000 000.000 ", "1234" -> "1 234".
std::string groupDigits(const std::string& text);

} // namespace app
