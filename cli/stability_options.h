// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/stability.h"
#include "cli/reading_file.h"

#include <optional>
#include <span>
#include <string>

namespace cli {

// What "talvek-cli stability" was asked to do.
struct StabilityRequest {
    std::string path;
    ReadingFileOptions file;
    bool tau0Given = false;
    analysis::StabilityOptions analysis;
    bool csv = false;
    bool help = false;
};

struct ParsedStabilityRequest {
    StabilityRequest request;
    std::string error; // empty when the arguments were good
};

ParsedStabilityRequest parseStabilityRequest(std::span<const std::string> arguments);

std::string stabilityUsageText();

} // namespace cli
