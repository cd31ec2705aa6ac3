// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/telegram_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tools {

namespace {

constexpr std::size_t kDumpNumberWidth = 11;
constexpr std::size_t kHertzMinLength = 6;
constexpr std::size_t kHertzMaxLength = 14;

struct Unit {
    const char* field;
    double factor;
};

// Locale-independent on purpose: the line always carries "." as decimal point.
std::string fixed(double value, int decimals) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// Rounding can add an integer digit (9.99 -> 10.0), so drop decimals until the text fits.
std::string fixedWithin(double value, int decimals, std::size_t width) {
    std::string text = fixed(value, decimals);
    while (text.size() > width && decimals > 0) {
        text = fixed(value, --decimals);
    }
    return text;
}

double parse(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

Telegram dump(double value, Unit unit, int decimals, std::string_view info) {
    const std::string number = fixedWithin(value / unit.factor, decimals, kDumpNumberWidth);
    std::string text = "av";
    text += std::string(info.substr(0, 15)) +
            std::string(15 - std::min<std::size_t>(15, info.size()), ' ');
    text += unit.field;
    text += ' ';
    text += std::string(kDumpNumberWidth - std::min(kDumpNumberWidth, number.size()), ' ') + number;
    return {text, parse(number) * unit.factor};
}

Unit frequencyUnit(double hz) {
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

Unit periodUnit(double seconds) {
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

std::string settingsField(const CounterState& state) {
    const char mode = state.mode == Quantity::Frequency ? 'F'
                      : state.mode == Quantity::Period  ? 'P'
                                                        : 'O';
    char text[32];
    std::snprintf(text, sizeof text, " %c %s %s /%d", mode, state.gateSeconds < 0.5 ? "0.1s" : "1s",
                  state.averaging ? "AVG" : "   ", state.prescaler);
    return text;
}

} // namespace

int significantDigits(double gateSeconds) {
    return 10 + static_cast<int>(std::lround(std::log10(gateSeconds)));
}

int decimalsFor(double value, int digits) {
    const double magnitude = std::fabs(value);
    const int integerDigits =
        magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    return std::max(0, digits - integerDigits);
}

Telegram dumpFrequency(double hz, int digits, std::string_view info) {
    const Unit unit = frequencyUnit(hz);
    return dump(hz, unit, decimalsFor(hz / unit.factor, digits), info);
}

Telegram dumpPeriod(double seconds, int digits, std::string_view info) {
    const Unit unit = periodUnit(seconds);
    return dump(seconds, unit, decimalsFor(seconds / unit.factor, digits), info);
}

Telegram dumpOffset(double hz, int decimals, std::string_view info) {
    return dump(hz, {" Hz", 1}, decimals, info);
}

Telegram hertzValue(double hz, int decimals) {
    std::string text = fixedWithin(hz, decimals, kHertzMaxLength);
    while (text.size() < kHertzMinLength) {
        text = fixed(hz, ++decimals);
    }
    return {text, parse(text)};
}

Telegram formatReading(const CounterState& state, double countedHz, double referenceHz) {
    const double hz = countedHz * state.prescaler;
    const int digits = significantDigits(state.gateSeconds);
    const int hzDecimals = decimalsFor(hz, digits);
    if (state.format == TelegramFormat::Hertz) {
        return hertzValue(state.mode == Quantity::Offset ? hz - referenceHz : hz, hzDecimals);
    }
    switch (state.mode) {
    case Quantity::Period:
        return dumpPeriod(1.0 / hz, digits, settingsField(state));
    case Quantity::Offset:
        return dumpOffset(hz - referenceHz, hzDecimals, settingsField(state));
    case Quantity::Frequency:
        break;
    }
    return dumpFrequency(hz, digits, settingsField(state));
}

} // namespace tools
