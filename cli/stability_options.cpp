// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_options.h"

#include "cli/argument_parser.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

constexpr std::array<KnownOption, 11> kOptions{{
    {"--nominal", true},
    {"--drift", true},
    {"--deviations", true},
    {"--spacing", true},
    {"--confidence", true},
    {"--tau0", true},
    {"--period", false},
    {"--plain", false},
    {"--csv", false},
    {"--help", false},
    {"-h", false},
}};

std::string badValue(const std::string& name, const std::string& value, std::string_view allowed) {
    return "invalid value '" + value + "' for " + name + " (" + std::string(allowed) + ")";
}

// "adev,mdev,...": each deviation once, in the order given.
std::optional<std::vector<analysis::Deviation>> parseDeviations(const std::string& list) {
    std::vector<analysis::Deviation> kinds;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const auto kind =
            analysis::deviationFromShortName(std::string_view(list).substr(start, comma - start));
        if (!kind || std::find(kinds.begin(), kinds.end(), *kind) != kinds.end()) {
            return std::nullopt;
        }
        kinds.push_back(*kind);
        start = comma + 1;
    }
    return kinds;
}

// Applies one option; the error text, or empty when its value was good.
std::string apply(const ParsedArguments::Option& option, StabilityRequest& request) {
    const std::string& name = option.name;
    const std::string& value = option.value;
    analysis::StabilityOptions& analysis = request.analysis;
    const std::optional<double> number = parseNumberArgument(value);
    if (name == "--nominal") {
        if (!number || *number <= 0) {
            return badValue(name, value, "a frequency in Hz above 0");
        }
        analysis.nominalHz = number;
    } else if (name == "--drift") {
        if (value != "remove" && value != "keep") {
            return badValue(name, value, "remove or keep");
        }
        analysis.removeDrift = value == "remove";
    } else if (name == "--deviations") {
        const auto kinds = parseDeviations(value);
        if (!kinds) {
            return badValue(name, value, "a list of adev, mdev, hdev, tdev, each once");
        }
        analysis.kinds = *kinds;
    } else if (name == "--spacing") {
        if (value != "octave" && value != "125") {
            return badValue(name, value, "octave or 125");
        }
        analysis.spacing =
            value == "octave" ? analysis::TauSpacing::Octave : analysis::TauSpacing::OneTwoFive;
    } else if (name == "--confidence") {
        if (!number || *number <= 0 || *number >= 1) {
            return badValue(name, value, "a level between 0 and 1");
        }
        analysis.confidence = *number;
    } else if (name == "--tau0") {
        if (!number || *number <= 0) {
            return badValue(name, value, "seconds above 0");
        }
        request.file.tau0Seconds = *number;
        request.tau0Given = true;
    } else if (name == "--period") {
        request.file.periods = true;
    } else if (name == "--plain") {
        request.file.plainText = true;
    } else if (name == "--csv") {
        request.csv = true;
    } else {
        request.help = true;
    }
    return {};
}

} // namespace

ParsedStabilityRequest parseStabilityRequest(std::span<const std::string> arguments) {
    ParsedStabilityRequest parsed;
    const ParsedArguments sorted = parseArguments(arguments, kOptions);
    parsed.error = sorted.error;
    for (const auto& option : sorted.options) {
        if (parsed.error.empty()) {
            parsed.error = apply(option, parsed.request);
        }
    }
    if (!parsed.error.empty() || parsed.request.help) {
        return parsed;
    }
    if (sorted.operands.size() != 1) {
        parsed.error = sorted.operands.empty() ? "stability needs a FILE"
                                               : "stability takes one FILE, not " +
                                                     std::to_string(sorted.operands.size());
        return parsed;
    }
    parsed.request.path = sorted.operands.front();
    return parsed;
}

std::string stabilityUsageText() {
    return R"(Usage: talvek-cli stability FILE [OPTIONS]

Frequency stability of the readings in FILE: overlapping Allan (ADEV), modified Allan (MDEV),
overlapping Hadamard (HDEV) and time deviation (TDEV) at averaging times tau = m tau0, with the
number of terms behind each point and its confidence interval. The interval comes from
Greenhall's equivalent degrees of freedom for the noise type identified in the data (lag-1
autocorrelation), which the table names. A header states the readings, tau0, the nominal
frequency, the gap-free segments, the drift and the statistics of the readings.

FILE
  *.dat, *.csv   as the window saves them: time in ms and value, "." or "," as the decimal
                 point. tau0 is the usual interval between the time stamps; where readings are
                 missing the series has a gap, and no term spans it.
  any other      plain text, one reading per line: either one column of values tau0 apart
                 (--tau0), or two columns, time in s and value. Columns are separated by blanks,
                 tabs, a comma or a semicolon; "." is the decimal point; lines starting with "#"
                 are skipped.
  Values are frequencies in Hz (periods in s with --period). A value of 0 or "nan" keeps its
  place in time without a value. A line that is not a reading is left out and reported on
  standard error with the number of the first such line.

Options
  --nominal HZ       divide by this frequency (also with --period); default: the mean
  --drift remove     remove the least-squares line through the frequencies first
                     (--drift keep, the default, leaves it in)
  --deviations LIST  which deviations, in this order: adev,mdev,hdev,tdev (default all four)
  --spacing SPACING  octave: m = 1, 2, 4, 8, ... (default); 125: m = 1, 2, 5, 10, 20, ...
  --confidence LEVEL two-sided level of the intervals, 0 < LEVEL < 1 (default 0.6827, 1 sigma)
  --tau0 S           seconds between the values of a one-column plain text file (default 1)
  --period           the values are periods in s; they are analysed as frequencies 1 / period
  --plain            read FILE as plain text even if it is named .dat or .csv
  --csv              print only the table as CSV: the header tau,deviation,terms,value,lower,upper
                     and a row per deviation and tau (deviation adev, mdev, hdev or tdev; tau in
                     s; TDEV in s, the others fractional; 17 significant digits, "." as the
                     decimal point; lower and upper empty where a point has no interval)
  --help             this text
)";
}

} // namespace cli
