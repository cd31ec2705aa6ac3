// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace app {
namespace {

// Listed in the usage text, the manual page and the README.
constexpr int kNoDisplay = 1;

constexpr std::string_view kUsage =
    "Usage: talvek [--help | --version]\n"
    "\n"
    "Opens the window of TALVEK, the desktop client for the KELVO frequency counter. The window\n"
    "needs a display: a desktop session (DISPLAY or WAYLAND_DISPLAY), or the Qt platform that\n"
    "QT_QPA_PLATFORM or -platform NAME chooses. 'talvek-cli --help' tells about the program\n"
    "that works without a window.\n"
    "\n"
    "Exit status:\n"
    "  0  the window was closed\n"
    "  1  no display: DISPLAY and WAYLAND_DISPLAY are unset\n";

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool hasArgument(std::span<const std::string> arguments,
                 std::initializer_list<std::string_view> names) {
    return std::any_of(arguments.begin(), arguments.end(), [names](const std::string& argument) {
        return std::find(names.begin(), names.end(), argument) != names.end();
    });
}

void write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

std::optional<int> answerBeforeWindow(std::span<const std::string> arguments) {
    if (hasArgument(arguments, {"--help", "-h"})) {
        write(stdout, kUsage);
        return 0;
    }
    if (hasArgument(arguments, {"--version"})) {
        write(stdout, "talvek " TALVEK_VERSION "\n");
        return 0;
    }
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM") &&
        !hasArgument(arguments, {"-platform", "--platform"})) {
        write(stderr, "talvek: no display: DISPLAY and WAYLAND_DISPLAY are unset (start it in a "
                      "desktop session, or set QT_QPA_PLATFORM=offscreen)\n");
        return kNoDisplay;
    }
    return std::nullopt;
}

} // namespace app
