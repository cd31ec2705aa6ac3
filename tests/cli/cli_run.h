// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace cli_test {

// What one run of talvek-cli did.
struct CliRun {
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
};

// Runs the built talvek-cli with `arguments` and the test's environment changed by
// `environment` (name, value) to its end. Started with fork and exec, not QProcess, for the
// reason tests/support/child_process.h gives.
CliRun runCli(const std::vector<std::string>& arguments,
              const std::vector<std::pair<std::string, std::string>>& environment = {});

} // namespace cli_test
