// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace serial {

// How the receive thread cuts the byte stream into telegrams. `Null` cuts at the zero byte (the
// name NULL itself is taken by the language).
enum class Delimiter : std::uint8_t { None = 0, Cr = 1, Lf = 2, CrLf = 3, Null = 4 };

enum class Parity : std::uint8_t { Even = 0, Odd = 1, None = 2, Mark = 3, Space = 4 };

using StopBitCount = std::uint8_t; // 1..2
using DataBitCount = std::uint8_t; // 7..8

// Port names, each at most 32 characters.
using PortNames = std::vector<std::string>;

} // namespace serial
