// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace talvek::test {

// What one run of a program did.
struct ProgramRun {
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
};

// Which environment a program run starts from, before its changes.
enum class StartEnvironment { Test, Empty };

// Runs `program` (a path) with `arguments` to its end, in the test's environment or an empty one,
// changed by `environment` (name, value). Started with fork and exec, not QProcess, for the reason
// tests/support/child_process.h gives.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::vector<std::pair<std::string, std::string>>& environment = {},
                      StartEnvironment start = StartEnvironment::Test);

} // namespace talvek::test
