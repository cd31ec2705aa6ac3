// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/serial_types.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

// Most bytes the receive buffer keeps while it holds no delimiter: a line that never sends its
// delimiter cannot grow it further.
constexpr std::size_t kReceiveBufferLimit = 4096;

// The characters a telegram ends with; empty for `no`.
std::string delimiterText(Delimiter delimiter);

// The byte that ends a telegram when it is a byte a terminal can end its lines with (CR, LF);
// nothing for the zero byte and for `no`.
std::optional<char> lineEndOf(Delimiter delimiter);

// The telegram up to, not including, its first control character (code below 32).
std::string cleanTelegram(std::string_view raw);

// Takes every complete telegram and its delimiter off the front of `buffer` and returns them
// cleaned, in order; the bytes after the last delimiter stay. Nothing, with the buffer untouched,
// while no delimiter is in (always for an empty delimiter).
std::vector<std::string> cutTelegrams(std::string& buffer, const std::string& delimiter);

// True when `buffer` holds at least one complete telegram (never for an empty delimiter).
bool holdsTelegram(const std::string& buffer, const std::string& delimiter);

// Drops the oldest bytes of a buffer that has grown past `limit` without a delimiter and returns
// true when it did: the line has lost its beginning, and its telegram must not be handed over
// once its delimiter comes. A buffer that holds a delimiter is a backlog of telegrams and keeps
// every byte.
bool boundReceiveBuffer(std::string& buffer, const std::string& delimiter,
                        std::size_t limit = kReceiveBufferLimit);

} // namespace serial
