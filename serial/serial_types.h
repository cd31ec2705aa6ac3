#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How the receive thread cuts the byte stream into telegrams. `Null` cuts at the zero byte (the
// name NULL itself is taken by the language).
enum class TDelimiter : std::uint8_t { no = 0, CR = 1, LF = 2, CRLF = 3, Null = 4 };

enum class TParity : std::uint8_t { even = 0, odd = 1, none = 2, mark = 3, space = 4 };

using TStop = std::uint8_t; // 1..2
using TData = std::uint8_t; // 7..8

// Port names, each at most 32 characters.
using TPortArray = std::vector<std::string>;
