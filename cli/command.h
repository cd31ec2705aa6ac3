// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <span>
#include <string>
#include <string_view>

namespace cli {

// A command of talvek-cli: "talvek-cli NAME ARGUMENTS...". Each lives in a file of its own and
// is listed in commands.cpp.
struct Command {
    std::string_view name;
    std::string_view summary; // one line for the program's usage text
    // Runs the command on the arguments after its name; prints its own usage for --help.
    ExitCode (*run)(std::span<const std::string> arguments);
};

std::span<const Command> commands();

} // namespace cli
