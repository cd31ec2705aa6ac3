// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/crc32c.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace recording {
namespace {

constexpr std::uint32_t kPolynomial = 0x82F63B78; // 0x1EDC6F41 reflected

// Slicing by eight: eight table look-ups per eight bytes, so recovering a long journal is bound
// by the disk, not the checksum.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) ? kPolynomial : 0);
        }
        tables[0][i] = crc;
    }
    for (std::size_t t = 1; t < tables.size(); ++t) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
        }
    }
    return tables;
}

constexpr Tables kTables = makeTables();

#if defined(__x86_64__)
// The processor's own CRC-32C instruction, eight bytes a step: several times the tables' speed,
// which opening a month's journal needs.
__attribute__((target("sse4.2"))) std::uint32_t hardwareCrc32c(const unsigned char* p,
                                                               std::size_t n, std::uint32_t crc) {
    std::uint64_t wide = ~crc;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        wide = _mm_crc32_u64(wide, word);
    }
    auto narrow = static_cast<std::uint32_t>(wide);
    for (; n > 0; ++p, --n) {
        narrow = _mm_crc32_u8(narrow, *p);
    }
    return ~narrow;
}
#endif

} // namespace

std::uint32_t crc32c(std::string_view bytes, std::uint32_t crc) {
#if defined(__x86_64__)
    // Asked once: the processor does not change under a running program.
    static const bool hardware = __builtin_cpu_supports("sse4.2");
    if (hardware) {
        return hardwareCrc32c(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                              crc);
    }
#endif
    crc = ~crc;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    while (n >= 8) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + 4, 4);
        if constexpr (std::endian::native == std::endian::big) {
            low = __builtin_bswap32(low);
            high = __builtin_bswap32(high);
        }
        low ^= crc;
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^
              kTables[2][(high >> 8) & 0xFF] ^ kTables[1][(high >> 16) & 0xFF] ^
              kTables[0][high >> 24];
        p += 8;
        n -= 8;
    }
    while (n-- > 0) {
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
    }
    return ~crc;
}

} // namespace recording
