// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/program_run.h"

#include <string>
#include <utility>
#include <vector>

namespace cli_test {

// What one run of talvek-cli did.
using CliRun = talvek::test::ProgramRun;

// Runs the built talvek-cli with `arguments` and the test's environment changed by
// `environment` (name, value) to its end.
CliRun runCli(const std::vector<std::string>& arguments,
              const std::vector<std::pair<std::string, std::string>>& environment = {});

} // namespace cli_test
