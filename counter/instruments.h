// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/instrument.h"

#include <span>
#include <string_view>

namespace counter {

// Every instrument the program knows, the KELVO first: the window's instrument menu and
// "talvek-cli record --instrument" offer them in this order.
std::span<const Instrument* const> instruments();
// The KELVO, the instrument of a new installation.
const Instrument& defaultInstrument();
// The instrument of that name; nothing for a name no profile has.
const Instrument* findInstrument(std::string_view name);

} // namespace counter
