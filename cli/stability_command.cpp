// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_command.h"

#include "analysis/deviation_table.h"
#include "analysis/span_statistics.h"
#include "analysis/stability.h"
#include "cli/diagnostics.h"
#include "cli/offscreen_application.h"
#include "cli/progress_line.h"
#include "cli/stability_options.h"
#include "cli/stability_picture.h"
#include "cli/stability_report.h"
#include "platform/replacing_file.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

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

// One file of the command line, read and analysed.
struct Run {
    std::string path;
    std::string name; // in the CSV's run column and the picture's legend
    ReadingFile file;
    analysis::StabilityResult result;
};

// Each run by its file name, or by its path as given where another run has the same file name.
void nameRuns(std::vector<Run>& runs) {
    const auto fileName = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
    for (Run& run : runs) {
        const std::string name = fileName(run.path);
        const bool shared = std::ranges::count_if(runs, [&](const Run& other) {
                                return fileName(other.path) == name;
                            }) > 1;
        run.name = shared || name.empty() ? run.path : name;
    }
}

// The file read; its failure told, with the exit status, when it holds nothing to analyse.
std::optional<ExitCode> readRun(Run& run, const StabilityRequest& request) {
    const std::string& path = run.path;
    run.file = readReadingFile(path, request.file);
    const ReadingFile& file = run.file;
    if (!file.error.empty()) {
        return fail(ExitCode::Unreadable, "cannot read " + path + ": " + file.error);
    }
    if (!file.fault.empty()) {
        return fail(ExitCode::NoReadings, path + ": " + file.fault);
    }
    if (request.tau0Given && file.layout != FileLayout::OneColumn) {
        return fail(ExitCode::Usage, "--tau0 is for a file of one column; the time stamps of " +
                                         path + " give tau0");
    }
    if (file.badLines > 0) {
        warn(badLinesText(path, file));
    }
    if (!file.notice.empty()) {
        warn(path + ": " + file.notice);
    }
    return std::nullopt;
}

// The analysis of the run; its failure told, with the exit status, when nothing was usable.
std::optional<ExitCode> analyzeRun(Run& run, const StabilityRequest& request) {
    run.result = analyzeWithProgress(run.file, request.analysis);
    if (run.result.values > 0) {
        return std::nullopt;
    }
    const std::vector<analysis::Reading>& readings = run.file.readings;
    return fail(ExitCode::NoReadings,
                readings.empty()
                    ? run.path + " holds no reading"
                    : "none of the " + std::to_string(readings.size()) + " readings in " +
                          run.path +
                          (request.file.phase ? " is a finite phase with another after it"
                                              : " is a positive frequency or period"));
}

std::string reportOf(const Run& run, const StabilityRequest& request) {
    const ReadingFile& file = run.file;
    StabilityReportInput input;
    input.path = run.path;
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
    return stabilityReport(input, run.result);
}

// A CSV field as RFC 4180 has it: in quotes, with its quotes doubled, where it holds a comma, a
// quote or a line break.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c == '"' ? "\"\"" : std::string(1, c);
    }
    return field + '"';
}

// The CSV of one run as the analysis gives it; of several, one header and each row after the
// name of its run.
std::string csvOf(const std::vector<Run>& runs) {
    if (runs.size() == 1) {
        return analysis::deviationCsv(runs.front().result.points);
    }
    std::string text;
    for (const Run& run : runs) {
        const std::string csv = analysis::deviationCsv(run.result.points);
        const std::size_t firstRow = csv.find('\n') + 1;
        if (text.empty()) {
            text = "run," + csv.substr(0, firstRow);
        }
        const std::string field = csvField(run.name);
        for (std::size_t start = firstRow, end; (end = csv.find('\n', start)) != std::string::npos;
             start = end + 1) {
            text += field + ',' + csv.substr(start, end + 1 - start);
        }
    }
    return text;
}

// The picture, put in place of the file opened for it.
std::optional<ExitCode> writePicture(platform::ReplacingFile& file, const PlotRequest& plot,
                                     const std::vector<Run>& runs,
                                     const std::vector<analysis::Deviation>& kinds) {
    std::vector<graph::StabilityRun> shown;
    for (const Run& run : runs) {
        shown.push_back({run.name, run.result, std::nullopt});
    }
    QByteArray bytes;
    {
        const OffscreenApplication application;
        bytes = stabilityPicture(shown, kinds, plot.format, QSize(plot.width, plot.height));
    }
    if (bytes.isEmpty()) {
        return fail(ExitCode::Failed, "the picture " + plot.path + " could not be drawn");
    }
    std::string error;
    if (file.write({bytes.constData(), static_cast<std::size_t>(bytes.size())})) {
        error = file.commit();
    }
    if (error.empty()) {
        error = file.error();
    }
    if (!error.empty()) {
        return fail(ExitCode::Unwritable, "cannot write " + plot.path + ": " + error);
    }
    return std::nullopt;
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
    // Made before the analysis, so a picture that cannot be written ends the command at once.
    std::optional<platform::ReplacingFile> picture;
    if (!request.plot.path.empty()) {
        const std::string error = picture.emplace(request.plot.path).open();
        if (!error.empty()) {
            return fail(ExitCode::Unwritable, "cannot write " + request.plot.path + ": " + error);
        }
    }
    std::vector<Run> runs;
    for (const std::string& path : request.paths) {
        runs.push_back({path, {}, {}, {}});
    }
    nameRuns(runs);
    for (Run& run : runs) {
        if (const auto failed = readRun(run, request)) {
            return *failed;
        }
    }
    for (Run& run : runs) {
        if (const auto failed = analyzeRun(run, request)) {
            return *failed;
        }
    }
    if (request.csv) {
        print(csvOf(runs));
    } else {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            print((i > 0 ? "\n" : "") + reportOf(runs[i], request));
        }
    }
    if (picture) {
        if (const auto failed =
                writePicture(*picture, request.plot, runs, request.analysis.kinds)) {
            return *failed;
        }
    }
    return ExitCode::Done;
}

} // namespace cli
