// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

namespace counter {
class KelvoCounter;
}

namespace app {

// One counter command of the command menu.
struct CounterCommand {
    const char* submenu; // the submenu that holds the entry; "" for an entry of the menu itself
    const char* caption;
    // Sends the command; `value` is the number of the value field where the entry takes one.
    bool (*call)(counter::KelvoCounter& counter, int value);
    bool takesValue;
    bool separatorBefore;
};

// The counter's commands in menu order.
std::span<const CounterCommand> counterCommands();

} // namespace app
