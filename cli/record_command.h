// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <span>
#include <string>

namespace cli {

// "talvek-cli record --port NAME [OPTIONS]": the counter's readings into a file and onto
// standard output.
ExitCode runRecord(std::span<const std::string> arguments);

} // namespace cli
