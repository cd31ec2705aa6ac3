// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <span>
#include <string>

namespace cli {

// "talvek-cli stability FILE [OPTIONS]": the deviations of the readings in FILE.
ExitCode runStability(std::span<const std::string> arguments);

} // namespace cli
