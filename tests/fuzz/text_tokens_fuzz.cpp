// SPDX-License-Identifier: GPL-3.0-or-later
// nextToken, trimLeading and replaceChar on an arbitrary log line. The first byte is the
// separator, the second the character replaceChar looks for.

#include "app/formats/text_tokens.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

namespace {

bool isTrimmed(char c, char separator) {
    return c == ' ' || c == '\t' || c == '\0' || c == separator;
}

bool sameIgnoringAsciiCase(const std::string& original, const std::string& lowered) {
    return std::equal(original.begin(), original.end(), lowered.begin(), lowered.end(),
                      [](char a, char b) {
                          return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
                      });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const char separator = static_cast<char>(data[0]);
    const char find = static_cast<char>(data[1]);
    const std::string original(reinterpret_cast<const char*>(data) + 2, size - 2);

    const std::string replaced = app::replaceChar(original, find, '.');
    FUZZ_CHECK(replaced.size() == original.size());
    FUZZ_CHECK(find == '.' || replaced.find(find) == std::string::npos);

    std::string line = original;
    while (!line.empty()) {
        const std::string before = line;
        const std::string trimmed = app::trimLeading(before, separator);
        FUZZ_CHECK(trimmed.empty() || !isTrimmed(trimmed[0], separator));
        FUZZ_CHECK(before.size() >= trimmed.size() &&
                   before.compare(before.size() - trimmed.size(), trimmed.size(), trimmed) == 0);

        const std::string token = app::nextToken(line, separator);
        FUZZ_CHECK(line.size() < before.size() || before.empty());
        if (trimmed.empty()) {
            FUZZ_CHECK(token.empty() && line.empty());
        } else if (trimmed[0] == '"') {
            // Quoted: kept as it stands, up to the closing quote, which is dropped.
            FUZZ_CHECK(trimmed.compare(1, token.size(), token) == 0);
            FUZZ_CHECK(token.find('"') == std::string::npos);
            const std::size_t used = std::min(trimmed.size(), token.size() + 2);
            FUZZ_CHECK(line == trimmed.substr(used));
        } else {
            // Unquoted: ends before a blank, tab or separator, then lower-cased (which may
            // turn a letter into the separator).
            FUZZ_CHECK(!token.empty());
            const std::string taken = trimmed.substr(0, token.size());
            FUZZ_CHECK(sameIgnoringAsciiCase(taken, token));
            FUZZ_CHECK(taken.find_first_of(std::string(" \t") + separator) == std::string::npos);
            FUZZ_CHECK(std::none_of(token.begin(), token.end(),
                                    [](char c) { return c >= 'A' && c <= 'Z'; }));
            FUZZ_CHECK(line == trimmed.substr(token.size()));
        }
    }
    return 0;
}
