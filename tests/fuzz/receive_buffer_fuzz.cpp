// SPDX-License-Identifier: GPL-3.0-or-later
// The receive thread's cutter on an arbitrary byte stream, pass by pass as the thread runs it:
// append one read (0..80 bytes), bound the buffer, hand over every complete telegram. Byte 0 picks
// the delimiter, byte 1 a small buffer limit (so that bounding happens); then each read is a
// length byte followed by its bytes.

#include "serial/receive_buffer.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kReadBytes = 80;

// The telegrams of the whole stream, cleaned, as an unbounded buffer would cut them.
std::vector<std::string> streamTelegrams(const std::string& stream, const std::string& delimiter) {
    std::string whole = stream;
    return serial::cutTelegrams(whole, delimiter);
}

bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

class Pass {
public:
    Pass(std::string delimiter, std::size_t limit)
        : Delimiter(std::move(delimiter)), Limit(limit) {}

    // One pass of the thread.
    void run(const std::string& read) {
        buffer += read;
        const std::size_t before = buffer.size();
        const bool bounded = serial::boundReceiveBuffer(buffer, Delimiter, Limit);
        // Only a line without its delimiter is bounded; complete telegrams wait as a backlog.
        FUZZ_CHECK(buffer.size() <= Limit || serial::holdsTelegram(buffer, Delimiter));
        FUZZ_CHECK(bounded == (buffer.size() < before));
        dropped = dropped || bounded;
        overflowed = overflowed || bounded;
        if (Delimiter.empty()) {
            if (!buffer.empty()) {
                handedOver.push_back(buffer);
            }
            buffer.clear();
            return;
        }
        const std::string old = buffer;
        const std::vector<std::string> telegrams = serial::cutTelegrams(buffer, Delimiter);
        // Whole telegrams with their delimiters came off the front, and none is left behind.
        const std::size_t taken = old.size() - buffer.size();
        FUZZ_CHECK(old.compare(taken, std::string::npos, buffer) == 0);
        FUZZ_CHECK(!serial::holdsTelegram(buffer, Delimiter));
        FUZZ_CHECK(telegrams.empty() == (taken == 0));
        FUZZ_CHECK(taken == 0 ||
                   old.compare(taken - Delimiter.size(), Delimiter.size(), Delimiter) == 0);
        for (const std::string& telegram : telegrams) {
            FUZZ_CHECK(!hasControlCharacter(telegram));
            // The end of a line that lost its beginning is not handed over.
            cuts.push_back(overflowed ? std::nullopt : std::optional(telegram));
            overflowed = false;
        }
    }

    const std::string Delimiter;
    const std::size_t Limit;
    std::string buffer;
    std::vector<std::string> handedOver;          // without a delimiter
    std::vector<std::optional<std::string>> cuts; // with one; nothing for a dropped line
    bool dropped = false;
    bool overflowed = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string delimiter =
        serial::delimiterText(static_cast<serial::Delimiter>(data[0] % 5));
    Pass pass(delimiter, 1 + data[1] % 128);
    std::string stream;
    for (std::size_t at = 2; at < size;) {
        const std::size_t length =
            std::min<std::size_t>(data[at] % (kReadBytes + 1), size - at - 1);
        const std::string read(reinterpret_cast<const char*>(data) + at + 1, length);
        stream += read;
        pass.run(read);
        at += 1 + length;
    }

    if (delimiter.empty()) {
        std::string joined;
        for (const std::string& piece : pass.handedOver) {
            FUZZ_CHECK(!piece.empty() && piece.size() <= pass.Limit);
            joined += piece;
        }
        FUZZ_CHECK(pass.dropped || joined == stream);
        return 0;
    }
    // Bounding drops bytes of a line, never a delimiter: the telegrams are cut where an unbounded
    // buffer would cut them. A line that overflowed is missing; every other one arrives whole.
    const std::vector<std::string> expected = streamTelegrams(stream, delimiter);
    FUZZ_CHECK(pass.cuts.size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        FUZZ_CHECK(pass.cuts[i] ? *pass.cuts[i] == expected[i] : pass.dropped);
    }
    return 0;
}
