// SPDX-License-Identifier: GPL-3.0-or-later
// Telegrams as the receive thread hands them over: each line of the input is read as the driver
// reads a telegram of the connected counter.

#include "counter/telegram_reading.h"
#include "counter/telegram_text.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

void check(const std::string& telegram) {
    const auto reading = counter::readingFromTelegram(telegram);
    if (!reading) {
        return;
    }
    FUZZ_CHECK(!counter::isIdentification(telegram));
    FUZZ_CHECK(std::isfinite(reading->value));
    // The whole telegram, or the display dump at its end behind line noise.
    FUZZ_CHECK(reading->telegram == telegram ||
               (reading->telegram.size() == 32 && telegram.ends_with(reading->telegram)));
    FUZZ_CHECK(counter::parseNumber(reading->valueText).has_value());
    FUZZ_CHECK(reading->unitText.find(' ') == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        check(input.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
