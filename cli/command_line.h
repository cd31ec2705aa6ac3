// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <span>
#include <string>

namespace cli {

// "talvek-cli [--help | --version | COMMAND ARGUMENTS...]": hands the arguments after the
// command's name to the command.
ExitCode runCommandLine(std::span<const std::string> arguments);

} // namespace cli
