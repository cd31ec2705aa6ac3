// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

// Byte codings of the journal: little-endian fixed-width numbers and varints.

namespace recording {

inline void appendLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// The caller has checked that `bytes` bytes are there.
inline std::uint64_t readLittleEndian(const char* at, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{static_cast<std::uint8_t>(at[i])} << (8 * i);
    }
    return value;
}

inline void appendF64(std::string& out, double value) {
    appendLittleEndian(out, std::bit_cast<std::uint64_t>(value), 8);
}

inline double readF64(const char* at) {
    return std::bit_cast<double>(readLittleEndian(at, 8));
}

// Unsigned LEB128: seven bits a byte, lowest first, the top bit set on all but the last byte.
inline void appendVarint(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// Reads a varint at `at` and moves `at` past it. False when the bytes end inside it or it does
// not fit 64 bits; `at` is then left where it was.
inline bool readVarint(std::string_view bytes, std::size_t& at, std::uint64_t& value) {
    std::uint64_t result = 0;
    for (std::size_t i = at, shift = 0; i < bytes.size() && shift < 64; ++i, shift += 7) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        const std::uint64_t bits = byte & 0x7F;
        if (shift == 63 && bits > 1) {
            return false;
        }
        result |= bits << shift;
        if ((byte & 0x80) == 0) {
            value = result;
            at = i + 1;
            return true;
        }
    }
    return false;
}

// Small magnitudes of either sign as small unsigned numbers: 0, -1, 1, -2, 2 ... -> 0, 1, 2, 3, 4.
inline std::uint64_t zigzag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

inline std::int64_t unzigzag(std::uint64_t value) {
    return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
}

} // namespace recording
