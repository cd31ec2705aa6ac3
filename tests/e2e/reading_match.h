// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/e2e/virtual_counter.h"

#include <cstdint>
#include <string>
#include <vector>

// A reading as the window logged it.
struct LoggedReading {
    double timeMs = 0;
    double value = 0;
};

// A reading the receiver must log: it went out whole, behind a line end. Noise without its own
// CR LF glues itself to the front of the next telegram, which then may or may not be understood.
bool wellFramed(const std::vector<SentTelegram>& sent, std::size_t index, bool delimited);

// Compares both sides of the line: every logged reading is a sent one, in the order sent, with
// its value, and no well-framed sent reading is missing or doubled. Readings from `sent` index
// `mayBeLostFrom` on may be missing (still on their way when the cable was pulled). Empty when
// they agree, else the first disagreement.
std::string compareReadings(const std::vector<SentTelegram>& sent,
                            const std::vector<LoggedReading>& logged, bool delimited = true,
                            std::size_t mayBeLostFrom = SIZE_MAX);
