// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"

#include <optional>
#include <string>

namespace counter {

// The counter's identification: a telegram that begins with "kelvo" (lower case).
bool isIdentification(const std::string& telegram);

// The reading in a telegram of the connected counter: a display dump, or a Hertz value of 6 to 14
// characters. Nothing for any other telegram, which is a status telegram (a reply or message).
std::optional<Reading> readingFromTelegram(const std::string& telegram);

} // namespace counter
