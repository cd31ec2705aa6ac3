// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"

namespace cli_test {

CliRun runCli(const std::vector<std::string>& arguments,
              const std::vector<std::pair<std::string, std::string>>& environment) {
    return talvek::test::runProgram(TALVEK_CLI, arguments, environment);
}

} // namespace cli_test
