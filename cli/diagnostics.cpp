// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/diagnostics.h"

#include <cstdio>
#include <string>

namespace cli {

namespace {

void writeLine(std::FILE* stream, std::string_view prefix, std::string_view message) {
    const std::string line = std::string(prefix) + std::string(message) + '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
}

} // namespace

ExitCode fail(ExitCode code, std::string_view message) {
    writeLine(stderr, "talvek-cli: ", message);
    return code;
}

void warn(std::string_view message) {
    writeLine(stderr, "talvek-cli: warning: ", message);
}

void tell(std::string_view message) {
    writeLine(stderr, "talvek-cli: ", message);
}

void print(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace cli
