// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/telegram_format.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace tools {
namespace {

double parseField(const std::string& field) {
    const std::size_t first = field.find_first_not_of(' ');
    double value = 0;
    std::from_chars(field.data() + first, field.data() + field.size(), value);
    return value;
}

struct DumpCase {
    const char* name;
    Telegram (*format)(double, int, std::string_view);
    double input;
    int digits; // significant digits, or decimals for the offset
    const char* unit;
    const char* number;
    double factor;
};

class DumpLayout : public ::testing::TestWithParam<DumpCase> {};

TEST_P(DumpLayout, FieldsSitWhereTheReaderLooks) {
    const DumpCase& c = GetParam();
    const Telegram t = c.format(c.input, c.digits, " F 1s");
    ASSERT_EQ(t.text.size(), 32u) << t.text;
    EXPECT_EQ(t.text.substr(0, 2), "av");
    EXPECT_EQ(t.text.substr(2, 15), " F 1s          ");
    EXPECT_EQ(t.text.substr(17, 3), c.unit);
    EXPECT_EQ(t.text[20], ' ');
    EXPECT_EQ(t.text.substr(21), c.number);
    // The value is exactly what a reader computes from the text.
    EXPECT_EQ(t.value, parseField(t.text.substr(21)) * c.factor);
    EXPECT_NEAR(t.value, c.input, std::fabs(c.input) * 1e-7 + 0.01);
}

Telegram offset(double hz, int decimals, std::string_view info) {
    return dumpOffset(hz, decimals, info);
}

INSTANTIATE_TEST_SUITE_P(
    EveryUnit, DumpLayout,
    ::testing::Values(
        DumpCase{"MHz", dumpFrequency, 10000000.52, 10, "MHz", "10.00000052", 1e6},
        DumpCase{"MHzShortGate", dumpFrequency, 10000000.52, 9, "MHz", " 10.0000005", 1e6},
        DumpCase{"GHz", dumpFrequency, 1.5e9, 10, "GHz", "1.500000000", 1e9},
        DumpCase{"kHz", dumpFrequency, 12345.678, 10, "kHz", "12.34567800", 1e3},
        DumpCase{"Hz", dumpFrequency, 50.25, 10, " Hz", "50.25000000", 1},
        DumpCase{"RoundsUpAcrossADecade", dumpFrequency, 999999.99999, 10, "kHz", "1000.000000",
                 1e3},
        DumpCase{"ms", dumpPeriod, 1.5e-3, 10, " ms", "1.500000000", 1e-3},
        DumpCase{"us", dumpPeriod, 2.5e-5, 10, " us", "25.00000000", 1e-6},
        DumpCase{"ns", dumpPeriod, 1e-7, 10, " ns", "100.0000000", 1e-9},
        DumpCase{"ps", dumpPeriod, 5e-10, 10, " ps", "500.0000000", 1e-12},
        DumpCase{"OffsetPositive", offset, 0.52, 2, " Hz", "       0.52", 1},
        DumpCase{"OffsetNegative", offset, -1.25, 2, " Hz", "      -1.25", 1},
        DumpCase{"OffsetTooWideForItsDecimals", offset, -123456789.5, 3, " Hz", " -123456790", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DumpLayout, OverlongInfoIsCutToItsField) {
    const Telegram t = dumpFrequency(1e7, 10, "0123456789abcdefghij");
    ASSERT_EQ(t.text.size(), 32u);
    EXPECT_EQ(t.text.substr(2, 15), "0123456789abcde");
    EXPECT_EQ(t.text.substr(17, 3), "MHz");
}

struct HertzCase {
    double hz;
    int decimals;
    const char* text;
};

class HertzLength : public ::testing::TestWithParam<HertzCase> {};

TEST_P(HertzLength, StaysBetweenSixAndFourteenCharacters) {
    const HertzCase& c = GetParam();
    const Telegram t = hertzValue(c.hz, c.decimals);
    EXPECT_EQ(t.text, c.text);
    EXPECT_GE(t.text.size(), 6u);
    EXPECT_LE(t.text.size(), 14u);
    EXPECT_EQ(t.value, parseField(t.text));
}

INSTANTIATE_TEST_SUITE_P(Values, HertzLength,
                         ::testing::Values(HertzCase{10000000.52, 2, "10000000.52"},
                                           HertzCase{10000000.52, 1, "10000000.5"},
                                           HertzCase{0.52, 2, "0.5200"},
                                           HertzCase{-0.5, 1, "-0.500"}, HertzCase{5, 0, "5.0000"},
                                           HertzCase{1e11, 0, "100000000000"},
                                           HertzCase{123456789012.345, 5, "123456789012.3"},
                                           HertzCase{99999999999999.0, 2, "99999999999999"}));

TEST(DigitsOfAReading, FollowTheGateTime) {
    EXPECT_EQ(significantDigits(1.0), 10);
    EXPECT_EQ(significantDigits(0.1), 9);
    EXPECT_EQ(decimalsFor(10000000.52, 10), 2);
    EXPECT_EQ(decimalsFor(0.5, 10), 9);
    EXPECT_EQ(decimalsFor(-250.0, 4), 1);
    EXPECT_EQ(decimalsFor(1e12, 10), 0);
}

struct ReadingCase {
    const char* name;
    CounterState state;
    const char* text;
};

CounterState stateWith(Quantity mode, TelegramFormat format, int prescaler = 1, double gate = 1.0) {
    CounterState s;
    s.mode = mode;
    s.format = format;
    s.prescaler = prescaler;
    s.gateSeconds = gate;
    return s;
}

class ReadingTelegram : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingTelegram, FollowsModeFormatAndPrescaler) {
    const ReadingCase& c = GetParam();
    const Telegram t = formatReading(c.state, 10000000.52, 10e6);
    const bool dump = c.state.format == TelegramFormat::Dump;
    EXPECT_EQ(dump ? t.text.substr(17) : t.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ReadingTelegram,
    ::testing::Values(
        ReadingCase{"Frequency", stateWith(Quantity::Frequency, TelegramFormat::Dump),
                    "MHz 10.00000052"},
        ReadingCase{"Period", stateWith(Quantity::Period, TelegramFormat::Dump), " ns 99.99999480"},
        ReadingCase{"Offset", stateWith(Quantity::Offset, TelegramFormat::Dump), " Hz        0.52"},
        ReadingCase{"Prescaled", stateWith(Quantity::Frequency, TelegramFormat::Dump, 16),
                    "MHz 160.0000083"},
        ReadingCase{"ShortGate", stateWith(Quantity::Frequency, TelegramFormat::Dump, 1, 0.1),
                    "MHz  10.0000005"},
        ReadingCase{"Hertz", stateWith(Quantity::Frequency, TelegramFormat::Hertz), "10000000.52"},
        // The Hertz value carries hertz: a period setting does not turn it into seconds.
        ReadingCase{"HertzInPeriodMode", stateWith(Quantity::Period, TelegramFormat::Hertz),
                    "10000000.52"},
        ReadingCase{"HertzOffset", stateWith(Quantity::Offset, TelegramFormat::Hertz), "0.5200"},
        ReadingCase{"HertzPrescaled", stateWith(Quantity::Frequency, TelegramFormat::Hertz, 9999),
                    "99990005199"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tools
