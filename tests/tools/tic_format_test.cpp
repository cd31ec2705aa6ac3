// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tic_format.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace tools {
namespace {

// The phase a reader of the line gets: the number as printed; for a time stamp its distance to
// the nearest whole second, from the twelve printed decimals (a double of the whole stamp holds
// fewer of them once the stamps are large).
double readerPhase(const std::string& text) {
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    if (!text.ends_with(" chA")) {
        return number;
    }
    const double picoseconds = std::stod(text.substr(text.find('.') + 1, 12));
    return (picoseconds >= 5e11 ? picoseconds - 1e12 : picoseconds) / 1e12;
}

struct TicLineCase {
    const char* name;
    bool timestamp;
    std::int64_t event;
    double phaseS;
    const char* text;
    double tolerance; // of the phase read back: the printed picoseconds
};

class TicLine : public ::testing::TestWithParam<TicLineCase> {};

TEST_P(TicLine, PrintsTwelveDecimalsAndStandsForThePhase) {
    const TicLineCase& c = GetParam();
    const Telegram line = c.timestamp ? ticTimestamp(c.event, c.phaseS) : ticInterval(c.phaseS);
    EXPECT_EQ(line.text, c.text);
    EXPECT_EQ(line.value, readerPhase(line.text));
    EXPECT_NEAR(line.value, c.phaseS, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TicLine,
    ::testing::Values(
        TicLineCase{"StampLate", true, 17, 123.456e-9, "17.000000123456 chA", 1e-15},
        TicLineCase{"StampEarly", true, 17, -123.456e-9, "16.999999876544 chA", 1e-15},
        TicLineCase{"StampFirstEvent", true, 1, 0.25, "1.250000000000 chA", 1e-15},
        TicLineCase{"StampRoundsToPicoseconds", true, 3, 1.0006e-9, "3.000000001001 chA", 1e-12},
        TicLineCase{"StampAfterYears", true, 123456789, 250e-9, "123456789.000000250000 chA",
                    1e-15},
        TicLineCase{"Interval", false, 0, 123.456e-9, "0.000000123456", 1e-15},
        TicLineCase{"NegativeInterval", false, 0, -2e-9, "-0.000000002000", 1e-15},
        TicLineCase{"IntervalRoundsToPicoseconds", false, 0, 1.0006e-9, "0.000000001001", 1e-12}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tools
