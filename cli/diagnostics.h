// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exit_code.h"

#include <string_view>

namespace cli {

// One line "talvek-cli: message" on standard error; returns `code` for the caller to exit with.
ExitCode fail(ExitCode code, std::string_view message);

// One line "talvek-cli: warning: message" on standard error.
void warn(std::string_view message);

// One line "talvek-cli: message" on standard error: news of a run that goes on.
void tell(std::string_view message);

// Writes `text` to standard output as it is.
void print(std::string_view text);

} // namespace cli
