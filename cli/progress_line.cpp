// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/progress_line.h"

#include "recording/float_text.h"

#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

constexpr std::int64_t kShowIntervalMs = 250;

std::string twoDigits(std::int64_t n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string elapsedText(std::int64_t elapsedMs) {
    const std::int64_t seconds = elapsedMs / 1000;
    return std::to_string(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
           twoDigits(seconds % 60);
}

} // namespace

std::string analysisProgressText(double fraction, std::int64_t elapsedMs) {
    std::string text = "stability  " + std::to_string(static_cast<int>(fraction * 100)) + " %  " +
                       elapsedText(elapsedMs);
    // From a hundredth on, the rate so far says roughly how long the rest takes.
    if (fraction >= 0.01 && fraction < 1) {
        const auto leftMs =
            static_cast<std::int64_t>(static_cast<double>(elapsedMs) * (1 - fraction) / fraction);
        text += ", about " + elapsedText(leftMs) + " left";
    }
    return text;
}

std::string progressText(std::uint64_t readings, double lastValue, bool inSeconds,
                         std::int64_t elapsedMs) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f/s",
                  elapsedMs > 0 ? static_cast<double>(readings) * 1000.0 / elapsedMs : 0.0);
    std::string text =
        std::to_string(readings) + (readings == 1 ? " reading  " : " readings  ") + rate + "  ";
    if (readings > 0) {
        text += "last " + recording::floatToStr(lastValue, '.') + (inSeconds ? " s  " : " Hz  ");
    }
    return text + elapsedText(elapsedMs);
}

ProgressLine::ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::show(const std::string& text, std::int64_t nowMs) {
    if (!terminal_ || (shown_ && nowMs - lastShownMs_ < kShowIntervalMs)) {
        return;
    }
    const std::string line = "\r" + text + "\x1b[K";
    std::fwrite(line.data(), 1, line.size(), stderr);
    shown_ = true;
    lastShownMs_ = nowMs;
}

void ProgressLine::finish() {
    if (shown_) {
        std::fputc('\n', stderr);
        shown_ = false;
    }
}

} // namespace cli
