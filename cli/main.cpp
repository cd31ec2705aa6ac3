// SPDX-License-Identifier: GPL-3.0-or-later
// talvek-cli: the KELVO counter's readings on the command line.
#include "cli/command_line.h"
#include "cli/diagnostics.h"

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return static_cast<int>(cli::runCommandLine(arguments));
    } catch (const std::exception& error) {
        return static_cast<int>(cli::fail(cli::ExitCode::Failed, error.what()));
    }
}
