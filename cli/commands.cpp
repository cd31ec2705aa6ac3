// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command.h"

#include "cli/ports_command.h"
#include "cli/record_command.h"
#include "cli/stability_command.h"

#include <array>

namespace cli {

std::span<const Command> commands() {
    static const std::array kCommands{
        Command{"ports", "the machine's serial ports, as the window lists them", runPorts},
        Command{"record", "record the counter's readings into a file and onto standard output",
                runRecord},
        Command{"stability", "Allan, modified Allan, Hadamard and time deviation of a file",
                runStability},
    };
    return kCommands;
}

} // namespace cli
