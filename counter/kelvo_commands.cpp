// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/kelvo_counter.h"

#include <cmath>

namespace counter {
namespace {
const std::string kEsc = "\x1b";
const std::string kCr = "\r";
} // namespace

bool KelvoCounter::command(const std::string& body) {
    if (!connected_) {
        return false;
    }
    send(kEsc + body + kCr);
    ++pendingReplies_;
    return true;
}

bool KelvoCounter::measureSingle() {
    return command("1");
}
bool KelvoCounter::measureContinuous() {
    return command("r");
}
bool KelvoCounter::measureStop() {
    return command("x");
}
bool KelvoCounter::requestInfo() {
    return command("I");
}

bool KelvoCounter::setGateTime(float seconds) {
    if (std::fabs(seconds - 1.0f) < 0.001f) {
        return command("T");
    }
    if (std::fabs(seconds - 0.1f) < 0.0001f) {
        return command("t");
    }
    return false;
}

bool KelvoCounter::setAverage(bool on) {
    return command(on ? "A" : "a");
}

bool KelvoCounter::setMode(int mode) {
    switch (mode) {
    case 0:
        return command("f");
    case 1:
        return command("p");
    case 2:
        return command("o");
    default:
        return false;
    }
}

bool KelvoCounter::setTelegram(bool hertzValue) {
    return command(hertzValue ? "h" : "d");
}

// The counter has one prescaler command; both inputs use it.
bool KelvoCounter::setPrescalerBnc(int n) {
    return command("b" + std::to_string(n));
}
bool KelvoCounter::setPrescalerSma(int n) {
    return command("b" + std::to_string(n));
}

bool KelvoCounter::setTransmitInterval(int n) {
    return command("i" + std::to_string(n));
}

bool KelvoCounter::escCommand(const std::string& text) {
    return command(text);
}

} // namespace counter
