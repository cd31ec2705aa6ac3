// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/crc32c.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The check value of CRC-32C and the test vectors of RFC 3720 (iSCSI), whole and continued from a
// split at every place.
TEST(Crc32c, KnownVectorsWholeAndInPieces) {
    std::string ascending;
    for (int i = 0; i < 32; ++i) {
        ascending += static_cast<char>(i);
    }
    const struct {
        std::string bytes;
        std::uint32_t crc;
    } kVectors[] = {{"123456789", 0xE3069283},
                    {std::string(32, '\0'), 0x8A9136AA},
                    {std::string(32, '\xFF'), 0x62A8AB43},
                    {ascending, 0x46DD794E}};
    for (const auto& [bytes, crc] : kVectors) {
        EXPECT_EQ(recording::crc32c(bytes), crc);
        for (std::size_t split = 0; split <= bytes.size(); ++split) {
            const std::string_view all(bytes);
            EXPECT_EQ(recording::crc32c(all.substr(split), recording::crc32c(all.substr(0, split))),
                      crc)
                << split;
        }
    }
}

} // namespace
