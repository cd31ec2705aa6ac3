// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_table.h"

#include "counter/kelvo_counter.h"

namespace app {
namespace {

using counter::KelvoCounter;

constexpr CounterCommand kCommands[] = {
    {"Measure", "single", [](KelvoCounter& c, int) { return c.measureSingle(); }, false, false},
    {"Measure", "continuous", [](KelvoCounter& c, int) { return c.measureContinuous(); }, false,
     false},
    {"Measure", "stop", [](KelvoCounter& c, int) { return c.measureStop(); }, false, false},
    {"Gate Time", "1s", [](KelvoCounter& c, int) { return c.setGateTime(1.0f); }, false, false},
    {"Gate Time", "0.1s", [](KelvoCounter& c, int) { return c.setGateTime(0.1f); }, false, false},
    {"Average", "ON", [](KelvoCounter& c, int) { return c.setAverage(true); }, false, false},
    {"Average", "OFF", [](KelvoCounter& c, int) { return c.setAverage(false); }, false, false},
    {"Mode", "Frequency", [](KelvoCounter& c, int) { return c.setMode(0); }, false, false},
    {"Mode", "Period", [](KelvoCounter& c, int) { return c.setMode(1); }, false, false},
    {"Mode", "Offset", [](KelvoCounter& c, int) { return c.setMode(2); }, false, false},
    {"COM Telegram", "display dump", [](KelvoCounter& c, int) { return c.setTelegram(false); },
     false, false},
    {"COM Telegram", "Hertz value", [](KelvoCounter& c, int) { return c.setTelegram(true); }, false,
     false},
    {"", "Transmit Interval <value>",
     [](KelvoCounter& c, int n) { return c.setTransmitInterval(n); }, true, false},
    {"Prescaler", "BNC <value>", [](KelvoCounter& c, int n) { return c.setPrescalerBnc(n); }, true,
     false},
    {"Prescaler", "SMA <value>", [](KelvoCounter& c, int n) { return c.setPrescalerSma(n); }, true,
     false},
    {"", "Info", [](KelvoCounter& c, int) { return c.requestInfo(); }, false, true},
};

} // namespace

std::span<const CounterCommand> counterCommands() {
    return kCommands;
}

} // namespace app
