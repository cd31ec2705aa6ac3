// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/span_statistics.h"
#include "analysis/stability.h"
#include "cli/reading_file.h"

#include <string>

namespace cli {

// What the header of the stability table states about the input and the analysis.
struct StabilityReportInput {
    std::string path;
    FileLayout layout = FileLayout::Window;
    bool periods = false;
    bool phase = false;
    std::int64_t readings = 0;     // in the file, usable or not
    std::int64_t recordedGaps = 0; // journals
    bool nominalGiven = false;
    bool driftRemoved = false;
    double confidence = 0;
    analysis::SpanStatistics statistics;
};

// Lines "Name  value" about the readings and the analysis, then the deviation table.
std::string stabilityReport(const StabilityReportInput& input,
                            const analysis::StabilityResult& result);

} // namespace cli
