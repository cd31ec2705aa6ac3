// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_command.h"

#include "analysis/deviation_table.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"
#include "cli/diagnostics.h"
#include "cli/progress_line.h"
#include "cli/stability_options.h"
#include "cli/stability_report.h"

#include <chrono>

namespace cli {

namespace {

// Analyses shorter than this show no progress.
constexpr std::int64_t kQuietMs = 1000;

std::string badLinesText(const std::string& path, const ReadingFile& file) {
    return path + ": " + std::to_string(file.badLines) +
           (file.badLines == 1 ? " line is no reading and was" : " lines are no reading and were") +
           " left out, the first is line " + std::to_string(file.firstBadLine);
}

// The analysis, with a progress line on a terminal once it has taken a second.
analysis::StabilityResult analyzeWithProgress(const ReadingFile& file,
                                              const analysis::StabilityOptions& options) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    ProgressLine line;
    analysis::AnalysisControl control;
    control.progress = [&](double fraction) {
        const auto elapsedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (elapsedMs >= kQuietMs) {
            line.show(analysisProgressText(fraction, elapsedMs), elapsedMs);
        }
    };
    analysis::StabilityResult result = analysis::analyzeReadings(file.readings, options, control);
    line.finish();
    return result;
}

} // namespace

ExitCode runStability(std::span<const std::string> arguments) {
    const ParsedStabilityRequest parsed = parseStabilityRequest(arguments);
    if (!parsed.error.empty()) {
        return fail(ExitCode::Usage, parsed.error + "; try 'talvek-cli stability --help'");
    }
    const StabilityRequest& request = parsed.request;
    if (request.help) {
        print(stabilityUsageText());
        return ExitCode::Done;
    }
    const ReadingFile file = readReadingFile(request.path, request.file);
    if (!file.error.empty()) {
        return fail(ExitCode::Unreadable, "cannot read " + request.path + ": " + file.error);
    }
    if (!file.fault.empty()) {
        return fail(ExitCode::NoReadings, request.path + ": " + file.fault);
    }
    if (request.tau0Given && file.layout != FileLayout::OneColumn) {
        return fail(ExitCode::Usage, "--tau0 is for a file of one column; the time stamps of " +
                                         request.path + " give tau0");
    }
    if (file.badLines > 0) {
        warn(badLinesText(request.path, file));
    }
    if (!file.notice.empty()) {
        warn(request.path + ": " + file.notice);
    }
    const analysis::StabilityResult result = analyzeWithProgress(file, request.analysis);
    if (result.values == 0) {
        return fail(ExitCode::NoReadings,
                    file.readings.empty()
                        ? request.path + " holds no reading"
                        : "none of the " + std::to_string(file.readings.size()) + " readings in " +
                              request.path +
                              (request.file.phase ? " is a finite phase with another after it"
                                                  : " is a positive frequency or period"));
    }
    if (request.csv) {
        print(analysis::deviationCsv(result.points));
        return ExitCode::Done;
    }
    StabilityReportInput input;
    input.path = request.path;
    input.layout = file.layout;
    // A journal tells what its readings are, by the first of them as the analysis takes it.
    const bool journal = file.layout == FileLayout::Journal;
    const auto firstIs = [&file](analysis::Quantity quantity) {
        return !file.readings.empty() && file.readings.front().quantity == quantity;
    };
    input.periods = journal ? firstIs(analysis::Quantity::Period) : request.file.periods;
    input.phase = journal ? firstIs(analysis::Quantity::Phase) : request.file.phase;
    input.recordedGaps = file.recordedGaps;
    input.readings = static_cast<std::int64_t>(file.readings.size());
    input.nominalGiven = request.analysis.nominalHz.has_value();
    input.driftRemoved = request.analysis.removeDrift;
    input.confidence = request.analysis.confidence;
    input.statistics = analysis::spanStatistics(file.readings, request.analysis.nominalHz);
    print(stabilityReport(input, result));
    return ExitCode::Done;
}

} // namespace cli
