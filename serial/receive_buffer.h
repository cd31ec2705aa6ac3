#pragma once

#include "serial/serial_types.h"

#include <cstddef>
#include <optional>
#include <string>

namespace serial {

// Most bytes the receive buffer holds; a line that never sends its delimiter cannot grow it
// further.
constexpr std::size_t kReceiveBufferLimit = 4096;

// The characters a telegram ends with; empty for `no`.
std::string DelimiterText(TDelimiter delimiter);

// The telegram up to, not including, its first control character (code below 32).
std::string CleanTelegram(const std::string& raw);

// Takes the first telegram and its delimiter off the front of `buffer` and returns it cleaned;
// nothing, with the buffer untouched, while no delimiter is in.
std::optional<std::string> CutTelegram(std::string& buffer, const std::string& delimiter);

// Drops the oldest bytes of a buffer that has grown past `limit`. Where a telegram begins within
// the bytes that may stay, the cut is made there, so that no telegram is handed over with its
// front missing.
void BoundReceiveBuffer(std::string& buffer, const std::string& delimiter,
                        std::size_t limit = kReceiveBufferLimit);

} // namespace serial
