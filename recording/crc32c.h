// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

namespace recording {

// CRC-32C (Castagnoli, reflected, as in iSCSI and ext4): crc32c("123456789") == 0xE3069283.
// `crc` continues a checksum over bytes given before; start with 0.
std::uint32_t crc32c(std::string_view bytes, std::uint32_t crc = 0);

} // namespace recording
