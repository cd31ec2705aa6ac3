#include "tools/telegram_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vkelvo {

namespace {

constexpr std::size_t kDumpNumberWidth = 11;
constexpr std::size_t kHertzMinLength = 6;
constexpr std::size_t kHertzMaxLength = 14;

struct Unit {
    const char* Field;
    double Factor;
};

// Locale-independent on purpose: the line always carries "." as decimal point.
std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// Rounding can add an integer digit (9.99 -> 10.0), so drop decimals until the text fits.
std::string FixedWithin(double value, int decimals, std::size_t width) {
    std::string text = Fixed(value, decimals);
    while (text.size() > width && decimals > 0) {
        text = Fixed(value, --decimals);
    }
    return text;
}

double Parse(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

Telegram Dump(double value, Unit unit, int decimals, std::string_view info) {
    const std::string number = FixedWithin(value / unit.Factor, decimals, kDumpNumberWidth);
    std::string text = "av";
    text += std::string(info.substr(0, 15)) +
            std::string(15 - std::min<std::size_t>(15, info.size()), ' ');
    text += unit.Field;
    text += ' ';
    text += std::string(kDumpNumberWidth - std::min(kDumpNumberWidth, number.size()), ' ') + number;
    return {text, Parse(number) * unit.Factor};
}

Unit FrequencyUnit(double hz) {
    if (hz >= 1e9) {
        return {"GHz", 1e9};
    }
    if (hz >= 1e6) {
        return {"MHz", 1e6};
    }
    if (hz >= 1e3) {
        return {"kHz", 1e3};
    }
    return {" Hz", 1};
}

Unit PeriodUnit(double seconds) {
    if (seconds >= 1e-3) {
        return {" ms", 1e-3};
    }
    if (seconds >= 1e-6) {
        return {" us", 1e-6};
    }
    if (seconds >= 1e-9) {
        return {" ns", 1e-9};
    }
    return {" ps", 1e-12};
}

std::string Info(const CounterState& state) {
    const char mode = state.Mode == Quantity::Frequency ? 'F'
                      : state.Mode == Quantity::Period  ? 'P'
                                                        : 'O';
    char text[32];
    std::snprintf(text, sizeof text, " %c %s %s /%d", mode, state.GateSeconds < 0.5 ? "0.1s" : "1s",
                  state.Averaging ? "AVG" : "   ", state.Prescaler);
    return text;
}

} // namespace

int SignificantDigits(double gateSeconds) {
    return 10 + static_cast<int>(std::lround(std::log10(gateSeconds)));
}

int DecimalsFor(double value, int digits) {
    const double magnitude = std::fabs(value);
    const int integerDigits =
        magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    return std::max(0, digits - integerDigits);
}

Telegram DumpFrequency(double hz, int digits, std::string_view info) {
    const Unit unit = FrequencyUnit(hz);
    return Dump(hz, unit, DecimalsFor(hz / unit.Factor, digits), info);
}

Telegram DumpPeriod(double seconds, int digits, std::string_view info) {
    const Unit unit = PeriodUnit(seconds);
    return Dump(seconds, unit, DecimalsFor(seconds / unit.Factor, digits), info);
}

Telegram DumpOffset(double hz, int decimals, std::string_view info) {
    return Dump(hz, {" Hz", 1}, decimals, info);
}

Telegram HertzValue(double hz, int decimals) {
    std::string text = FixedWithin(hz, decimals, kHertzMaxLength);
    while (text.size() < kHertzMinLength) {
        text = Fixed(hz, ++decimals);
    }
    return {text, Parse(text)};
}

Telegram FormatReading(const CounterState& state, double countedHz, double referenceHz) {
    const double hz = countedHz * state.Prescaler;
    const int digits = SignificantDigits(state.GateSeconds);
    const int hzDecimals = DecimalsFor(hz, digits);
    if (state.Format == TelegramFormat::Hertz) {
        return HertzValue(state.Mode == Quantity::Offset ? hz - referenceHz : hz, hzDecimals);
    }
    switch (state.Mode) {
    case Quantity::Period:
        return DumpPeriod(1.0 / hz, digits, Info(state));
    case Quantity::Offset:
        return DumpOffset(hz - referenceHz, hzDecimals, Info(state));
    case Quantity::Frequency:
        break;
    }
    return DumpFrequency(hz, digits, Info(state));
}

} // namespace vkelvo
