// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <span>
#include <string>

namespace cli {

// "talvek-cli ports": the machine's serial ports as the window's port selector lists them.
ExitCode runPorts(std::span<const std::string> arguments);

} // namespace cli
