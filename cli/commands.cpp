#include "cli/command.h"

#include "cli/stability_command.h"

#include <array>

namespace cli {

std::span<const Command> commands() {
    static const std::array kCommands{
        Command{"stability", "Allan, modified Allan, Hadamard and time deviation of a file",
                runStability},
    };
    return kCommands;
}

} // namespace cli
