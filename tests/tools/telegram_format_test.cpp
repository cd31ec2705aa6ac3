#include "tools/telegram_format.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace vkelvo {
namespace {

double ParseField(const std::string& field) {
    const std::size_t first = field.find_first_not_of(' ');
    double value = 0;
    std::from_chars(field.data() + first, field.data() + field.size(), value);
    return value;
}

struct DumpCase {
    const char* Name;
    Telegram (*Format)(double, int, std::string_view);
    double Input;
    int Digits; // significant digits, or decimals for the offset
    const char* Unit;
    const char* Number;
    double Factor;
};

class DumpLayout : public ::testing::TestWithParam<DumpCase> {};

TEST_P(DumpLayout, FieldsSitWhereTheReaderLooks) {
    const DumpCase& c = GetParam();
    const Telegram t = c.Format(c.Input, c.Digits, " F 1s");
    ASSERT_EQ(t.Text.size(), 32u) << t.Text;
    EXPECT_EQ(t.Text.substr(0, 2), "av");
    EXPECT_EQ(t.Text.substr(2, 15), " F 1s          ");
    EXPECT_EQ(t.Text.substr(17, 3), c.Unit);
    EXPECT_EQ(t.Text[20], ' ');
    EXPECT_EQ(t.Text.substr(21), c.Number);
    // The value is exactly what a reader computes from the text.
    EXPECT_EQ(t.Value, ParseField(t.Text.substr(21)) * c.Factor);
    EXPECT_NEAR(t.Value, c.Input, std::fabs(c.Input) * 1e-7 + 0.01);
}

Telegram Offset(double hz, int decimals, std::string_view info) {
    return DumpOffset(hz, decimals, info);
}

INSTANTIATE_TEST_SUITE_P(
    EveryUnit, DumpLayout,
    ::testing::Values(
        DumpCase{"MHz", DumpFrequency, 10000000.52, 10, "MHz", "10.00000052", 1e6},
        DumpCase{"MHzShortGate", DumpFrequency, 10000000.52, 9, "MHz", " 10.0000005", 1e6},
        DumpCase{"GHz", DumpFrequency, 1.5e9, 10, "GHz", "1.500000000", 1e9},
        DumpCase{"kHz", DumpFrequency, 12345.678, 10, "kHz", "12.34567800", 1e3},
        DumpCase{"Hz", DumpFrequency, 50.25, 10, " Hz", "50.25000000", 1},
        DumpCase{"RoundsUpAcrossADecade", DumpFrequency, 999999.99999, 10, "kHz", "1000.000000",
                 1e3},
        DumpCase{"ms", DumpPeriod, 1.5e-3, 10, " ms", "1.500000000", 1e-3},
        DumpCase{"us", DumpPeriod, 2.5e-5, 10, " us", "25.00000000", 1e-6},
        DumpCase{"ns", DumpPeriod, 1e-7, 10, " ns", "100.0000000", 1e-9},
        DumpCase{"ps", DumpPeriod, 5e-10, 10, " ps", "500.0000000", 1e-12},
        DumpCase{"OffsetPositive", Offset, 0.52, 2, " Hz", "       0.52", 1},
        DumpCase{"OffsetNegative", Offset, -1.25, 2, " Hz", "      -1.25", 1},
        DumpCase{"OffsetTooWideForItsDecimals", Offset, -123456789.5, 3, " Hz", " -123456790", 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DumpLayout, OverlongInfoIsCutToItsField) {
    const Telegram t = DumpFrequency(1e7, 10, "0123456789abcdefghij");
    ASSERT_EQ(t.Text.size(), 32u);
    EXPECT_EQ(t.Text.substr(2, 15), "0123456789abcde");
    EXPECT_EQ(t.Text.substr(17, 3), "MHz");
}

struct HertzCase {
    double Hz;
    int Decimals;
    const char* Text;
};

class HertzLength : public ::testing::TestWithParam<HertzCase> {};

TEST_P(HertzLength, StaysBetweenSixAndFourteenCharacters) {
    const HertzCase& c = GetParam();
    const Telegram t = HertzValue(c.Hz, c.Decimals);
    EXPECT_EQ(t.Text, c.Text);
    EXPECT_GE(t.Text.size(), 6u);
    EXPECT_LE(t.Text.size(), 14u);
    EXPECT_EQ(t.Value, ParseField(t.Text));
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
    EXPECT_EQ(SignificantDigits(1.0), 10);
    EXPECT_EQ(SignificantDigits(0.1), 9);
    EXPECT_EQ(DecimalsFor(10000000.52, 10), 2);
    EXPECT_EQ(DecimalsFor(0.5, 10), 9);
    EXPECT_EQ(DecimalsFor(-250.0, 4), 1);
    EXPECT_EQ(DecimalsFor(1e12, 10), 0);
}

struct ReadingCase {
    const char* Name;
    CounterState State;
    const char* Text;
};

CounterState With(Quantity mode, TelegramFormat format, int prescaler = 1, double gate = 1.0) {
    CounterState s;
    s.Mode = mode;
    s.Format = format;
    s.Prescaler = prescaler;
    s.GateSeconds = gate;
    return s;
}

class ReadingTelegram : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingTelegram, FollowsModeFormatAndPrescaler) {
    const ReadingCase& c = GetParam();
    const Telegram t = FormatReading(c.State, 10000000.52, 10e6);
    const bool dump = c.State.Format == TelegramFormat::Dump;
    EXPECT_EQ(dump ? t.Text.substr(17) : t.Text, c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ReadingTelegram,
    ::testing::Values(
        ReadingCase{"Frequency", With(Quantity::Frequency, TelegramFormat::Dump),
                    "MHz 10.00000052"},
        ReadingCase{"Period", With(Quantity::Period, TelegramFormat::Dump), " ns 99.99999480"},
        ReadingCase{"Offset", With(Quantity::Offset, TelegramFormat::Dump), " Hz        0.52"},
        ReadingCase{"Prescaled", With(Quantity::Frequency, TelegramFormat::Dump, 16),
                    "MHz 160.0000083"},
        ReadingCase{"ShortGate", With(Quantity::Frequency, TelegramFormat::Dump, 1, 0.1),
                    "MHz  10.0000005"},
        ReadingCase{"Hertz", With(Quantity::Frequency, TelegramFormat::Hertz), "10000000.52"},
        // The Hertz value carries hertz: a period setting does not turn it into seconds.
        ReadingCase{"HertzInPeriodMode", With(Quantity::Period, TelegramFormat::Hertz),
                    "10000000.52"},
        ReadingCase{"HertzOffset", With(Quantity::Offset, TelegramFormat::Hertz), "0.5200"},
        ReadingCase{"HertzPrescaled", With(Quantity::Frequency, TelegramFormat::Hertz, 9999),
                    "99990005199"}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace vkelvo
