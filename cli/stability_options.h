// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/stability.h"
#include "cli/reading_file.h"
#include "graph/picture_output.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cli {

// The picture --plot asks for: the file, its format by the extension, and its size in pixels.
struct PlotRequest {
    std::string path; // empty: no picture
    graph::PictureFormat format = graph::PictureFormat::Png;
    int width = 800;
    int height = 600;
};

// What "talvek-cli stability" was asked to do.
struct StabilityRequest {
    std::vector<std::string> paths; // each a run; "-" standard input, once at most
    ReadingFileOptions file;
    bool tau0Given = false;
    analysis::StabilityOptions analysis;
    bool csv = false;
    PlotRequest plot;
    bool plotSizeGiven = false;
    bool help = false;
};

struct ParsedStabilityRequest {
    StabilityRequest request;
    std::string error; // empty when the arguments were good
};

ParsedStabilityRequest parseStabilityRequest(std::span<const std::string> arguments);

std::string stabilityUsageText();

} // namespace cli
