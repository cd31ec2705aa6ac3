// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_report.h"

#include "analysis/deviation_table.h"
#include "analysis/number_text.h"

#include <cmath>

namespace cli {

namespace {

using analysis::generalText;
using analysis::scientificText;

// Frequencies to the digits a counter gives; spreads and rates to what they are good for.
constexpr int kFrequencyDigits = 15;
constexpr int kSpreadDigits = 6;
constexpr int kRateDecimals = 4;

std::string plural(std::int64_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

std::string layoutText(FileLayout layout, bool periods, bool phase, std::int64_t recordedGaps) {
    const std::string value = phase ? "phase in s" : periods ? "period in s" : "frequency in Hz";
    switch (layout) {
    case FileLayout::Journal:
        return "a measurement journal: time in ms, " + value + ", " +
               plural(recordedGaps, "recorded gap", "recorded gaps");
    case FileLayout::Window:
        return "the window's format: time in ms, " + value;
    case FileLayout::OneColumn:
        return "plain text, one column: " + value;
    case FileLayout::TimeValue:
        return "plain text, two columns: time in s, " + value;
    }
    return {};
}

std::string hertz(double value, int digits) {
    return generalText(value, digits) + " Hz";
}

std::string seconds(double value, int digits) {
    return generalText(value, digits) + " s";
}

void addLine(std::string& text, const std::string& name, const std::string& value) {
    text += name;
    text.append(name.size() < 12 ? 12 - name.size() : 1, ' ');
    text += value;
    text += '\n';
}

} // namespace

std::string stabilityReport(const StabilityReportInput& input,
                            const analysis::StabilityResult& result) {
    const analysis::SpanStatistics& statistics = input.statistics;
    std::string text;
    addLine(text, "File", input.path);
    addLine(text, "Values",
            layoutText(input.layout, input.periods, input.phase, input.recordedGaps));
    addLine(text, "Readings",
            std::to_string(input.readings) + ", " + std::to_string(result.values) + " usable, in " +
                plural(result.segments, "segment", "gap-free segments"));
    addLine(text, "tau0",
            result.tau0 > 0
                ? generalText(result.tau0, kFrequencyDigits) + " s" +
                      (input.layout == FileLayout::OneColumn ? "" : ", from the time stamps")
                : std::string("unknown: fewer than two distinct time stamps"));
    const std::string drift = input.driftRemoved ? "removed before the deviations" : "left in";
    if (statistics.phase) {
        addLine(text, "Mean", seconds(statistics.meanSeconds, kFrequencyDigits));
        addLine(text, "Std dev", seconds(statistics.standardDeviationSeconds, kSpreadDigits));
        addLine(text, "Minimum", seconds(statistics.minimumSeconds, kFrequencyDigits));
        addLine(text, "Maximum", seconds(statistics.maximumSeconds, kFrequencyDigits));
        addLine(text, "Offset",
                scientificText(statistics.frequencyOffset, kRateDecimals) +
                    ", the mean fractional frequency");
        addLine(text, "Drift",
                scientificText(statistics.driftPerSecond, kRateDecimals) + " /s, " + drift);
    } else {
        addLine(text, "Nominal",
                hertz(result.nominalHz, kFrequencyDigits) +
                    (input.nominalGiven ? ", as given" : ", the mean"));
        addLine(text, "Mean", hertz(statistics.meanHz, kFrequencyDigits));
        addLine(text, "Std dev", hertz(statistics.standardDeviationHz, kSpreadDigits));
        addLine(text, "Minimum", hertz(statistics.minimumHz, kFrequencyDigits));
        addLine(text, "Maximum", hertz(statistics.maximumHz, kFrequencyDigits));
        addLine(text, "Drift",
                scientificText(statistics.driftPerSecond, kRateDecimals) + " /s (" +
                    scientificText(statistics.driftHzPerSecond, kRateDecimals) + " Hz/s), " +
                    drift);
    }
    addLine(text, "Intervals",
            generalText(100 * input.confidence, 4) +
                " % confidence, from the equivalent degrees of freedom for the noise type");
    text += '\n';
    text += result.points.empty() ? "No averaging time has a term: too few readings.\n"
                                  : analysis::deviationTable(result.points);
    return text;
}

} // namespace cli
