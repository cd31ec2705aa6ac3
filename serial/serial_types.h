// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace serial {

// How the receive thread cuts the byte stream into telegrams. `Null` cuts at the zero byte (the
// name NULL itself is taken by the language); `None` hands over every read as it came.
enum class Delimiter : std::uint8_t { None = 0, Cr = 1, Lf = 2, CrLf = 3, Null = 4 };

} // namespace serial
