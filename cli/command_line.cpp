// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/command_line.h"

#include "cli/command.h"
#include "cli/diagnostics.h"

#include <algorithm>

namespace cli {

namespace {

std::string usageText() {
    std::string text = "Usage: talvek-cli COMMAND [ARGUMENTS...]\n"
                       "       talvek-cli --help | --version\n"
                       "\n"
                       "Works with the readings of a KELVO frequency counter.\n"
                       "\n"
                       "Commands:\n";
    for (const Command& command : commands()) {
        std::string name(command.name);
        name.resize(std::max<std::size_t>(name.size() + 2, 12), ' ');
        text += "  " + name + std::string(command.summary) + '\n';
    }
    text += "\n"
            "'talvek-cli COMMAND --help' tells more about a command.\n"
            "\n"
            "Exit status:\n"
            "  0  done\n"
            "  1  an unforeseen failure, such as running out of memory\n"
            "  2  an unknown command or option, or a bad or missing value\n"
            "  3  the file does not exist or cannot be read\n"
            "  4  the file holds no usable reading\n"
            "  5  the port is not there, or it does not open (in use, no permission)\n"
            "  6  no counter answered, it refused a command, or it was lost for good\n"
            "  7  the output file or the journal cannot be written\n"
            "  8  the time-series database's URL or token file is wrong, or it refused the\n"
            "     login or has no such database or bucket\n"
            "Every failure is one line on standard error.\n";
    return text;
}

} // namespace

ExitCode runCommandLine(std::span<const std::string> arguments) {
    if (arguments.empty()) {
        return fail(ExitCode::Usage, "a command is missing; try 'talvek-cli --help'");
    }
    const std::string& first = arguments.front();
    if (first == "--help" || first == "-h") {
        print(usageText());
        return ExitCode::Done;
    }
    if (first == "--version") {
        print("talvek-cli " TALVEK_VERSION "\n");
        return ExitCode::Done;
    }
    const auto all = commands();
    const auto command = std::find_if(all.begin(), all.end(),
                                      [&first](const Command& c) { return c.name == first; });
    if (command == all.end()) {
        return fail(ExitCode::Usage, "unknown command '" + first + "'; try 'talvek-cli --help'");
    }
    return command->run(arguments.subspan(1));
}

} // namespace cli
