// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"

#include <optional>
#include <string>

namespace counter {

// The counter's identification: a telegram that begins with "kelvo" (lower case).
bool isIdentification(const std::string& telegram);

// The reading in a telegram of the connected counter: a display dump (also the one that ends a
// longer telegram, noise glued in front of it: the reading's telegram is then the dump alone), or a
// Hertz value of 6 to 14 characters. Nothing for any other telegram, which is a status telegram
// (a reply) or line noise. A digit of noise glued in front of a Hertz value cannot be told from
// the value.
std::optional<Reading> readingFromTelegram(const std::string& telegram);

} // namespace counter
