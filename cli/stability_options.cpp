// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stability_options.h"

#include "cli/argument_parser.h"

#include <algorithm>
#include <array>

namespace cli {

namespace {

// The sides of a picture, as the window's "Save picture..." allows them.
constexpr int kSmallestSide = 16;
constexpr int kLargestSide = 20000;

constexpr std::array<KnownOption, 15> kOptions{{
    {"--nominal", true},
    {"--drift", true},
    {"--deviations", true},
    {"--spacing", true},
    {"--confidence", true},
    {"--tau0", true},
    {"--period", false},
    {"--phase", false},
    {"--bias-corrected", false},
    {"--plain", false},
    {"--csv", false},
    {"--plot", true},
    {"--size", true},
    {"--help", false},
    {"-h", false},
}};

// "adev, mdev, ..., tierms".
std::string deviationNames() {
    std::string names;
    for (analysis::Deviation kind : analysis::allDeviations()) {
        names += (names.empty() ? "" : ", ") + std::string(analysis::shortName(kind));
    }
    return names;
}

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

// "WIDTHxHEIGHT", each side within the limits.
std::optional<std::pair<int, int>> parseSize(const std::string& text) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) {
        return std::nullopt;
    }
    const auto side = [](const std::string& digits) -> std::optional<int> {
        if (digits.empty() || digits.size() > 5 ||
            !std::all_of(digits.begin(), digits.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        const int value = std::stoi(digits);
        return value >= kSmallestSide && value <= kLargestSide ? std::optional(value)
                                                               : std::nullopt;
    };
    const auto width = side(text.substr(0, x));
    const auto height = side(text.substr(x + 1));
    if (!width || !height) {
        return std::nullopt;
    }
    return std::pair(*width, *height);
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
            return badValue(name, value, "a list of " + deviationNames() + ", each once");
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
    } else if (name == "--phase") {
        request.file.phase = true;
    } else if (name == "--bias-corrected") {
        analysis.biasCorrected = true;
    } else if (name == "--plain") {
        request.file.plainText = true;
    } else if (name == "--csv") {
        request.csv = true;
    } else if (name == "--plot") {
        const auto format = graph::pictureFormatOf(value);
        if (!format) {
            return badValue(name, value, "a file named .png, .svg or .pdf");
        }
        request.plot.path = value;
        request.plot.format = *format;
    } else if (name == "--size") {
        const auto size = parseSize(value);
        if (!size) {
            return badValue(name, value,
                            "WIDTHxHEIGHT in pixels, each " + std::to_string(kSmallestSide) +
                                " to " + std::to_string(kLargestSide));
        }
        request.plot.width = size->first;
        request.plot.height = size->second;
        request.plotSizeGiven = true;
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
    if (parsed.request.file.phase && parsed.request.file.periods) {
        parsed.error = "--phase and --period exclude each other";
        return parsed;
    }
    if (sorted.operands.empty()) {
        parsed.error = "stability needs a FILE";
        return parsed;
    }
    if (std::count(sorted.operands.begin(), sorted.operands.end(), "-") > 1) {
        parsed.error = "standard input (-) can be read once";
        return parsed;
    }
    if (parsed.request.plotSizeGiven && parsed.request.plot.path.empty()) {
        parsed.error = "--size is for the picture of --plot";
        return parsed;
    }
    parsed.request.paths = sorted.operands;
    return parsed;
}

// One line per deviation: its CSV name, name, unit, and how its interval is formed.
std::string deviationLines() {
    std::string text;
    for (analysis::Deviation kind : analysis::allDeviations()) {
        const analysis::DeviationDescription& d = analysis::deviationDescription(kind);
        std::string line = "  " + std::string(d.shortName);
        line.append(line.size() < 11 ? 11 - line.size() : 1, ' ');
        line += std::string(d.name) +
                (d.unit == analysis::DeviationUnit::Seconds ? ", in s: " : ", fractional: ");
        text += line + std::string(d.estimator) + "; interval: " + std::string(d.confidence) + "\n";
    }
    return text;
}

std::string stabilityUsageText() {
    return R"(Usage: talvek-cli stability FILE... [OPTIONS]

Frequency stability of the readings in FILE: overlapping Allan (ADEV), modified Allan (MDEV),
overlapping Hadamard (HDEV) and time deviation (TDEV) at averaging times tau = m tau0, with the
number of terms behind each point and its confidence interval, and on request the total,
Theo and time-error deviations below. The interval comes from the equivalent degrees of freedom
(EDF) for the noise type identified in the data at each tau (lag-1 autocorrelation), which the
table names; a point without an EDF for its deviation and noise type has no interval. A header
states the readings, tau0, the nominal frequency, the gap-free segments, the drift and the
statistics of the readings. Several files are several runs, analysed and told one after the
other; --plot draws them together.

FILE
  window files   a file that starts with the three "/*" header lines of a .dat (whatever it is
                 called, so also what "talvek-cli record" prints), or one named *.dat or *.csv:
                 time in ms and value, "." or "," as the decimal point. tau0 is the usual
                 interval between the time stamps; where readings are missing the series has a
                 gap, and no term spans it.
  any other      plain text, one reading per line: either one column of values tau0 apart
                 (--tau0), or two columns, time in s and value. Columns are separated by blanks,
                 tabs, a comma or a semicolon; "." is the decimal point; lines starting with "#"
                 are skipped.
  -              standard input, read to its end, by the same rules; once at most.
  Values are frequencies in Hz (periods in s with --period, phase in s with --phase). A value of
  0 or "nan" keeps its place in time without a value (phase: only "nan"). A line that is not a
  reading is left out and reported on standard error with the number of the first such line.

Deviations (--deviations, the CSV's deviation column)
)" + deviationLines() +
           R"(  The total deviations are the plain estimators of NIST SP 1065, without the bias
  corrections of its tables unless --bias-corrected is given. Theo1 and TheoBR are given at
  tau = 0.75 m tau0 for even m; TheoH at tau = m tau0 below a tenth of the run, 0.75 m tau0 from
  there on. MTIE and TIE rms are formed from the phase with the mean frequency taken out; they
  have no interval, as no published method gives one for them here.

Options
  --nominal HZ       divide by this frequency (also with --period); default: the mean
  --drift remove     remove the least-squares line through the frequencies first
                     (--drift keep, the default, leaves it in)
  --deviations LIST  which deviations, in this order, from the list above (default
                     adev,mdev,hdev,tdev)
  --spacing SPACING  octave: m = 1, 2, 4, 8, ... (default); 125: m = 1, 2, 5, 10, 20, ...
  --confidence LEVEL two-sided level of the intervals, 0 < LEVEL < 1 (default 0.6827, 1 sigma)
  --bias-corrected   the bias-corrected variants of SP 1065 for TOTDEV (flicker and random walk
                     FM), MTOTDEV and TTOTDEV, and HTOTDEV (FM noise, beyond m = 1), by the
                     noise type of each tau
  --tau0 S           seconds between the values of a one-column plain text file (default 1)
  --period           the values are periods in s; they are analysed as frequencies 1 / period
  --phase            the values are phase (time error) in s, as a time-interval counter gives
                     them; the frequencies are their differences over tau0
  --plain            read FILE as plain text even if it is named .dat or .csv or has their header
  --csv              print only the table as CSV: the header
                     tau,deviation,terms,value,lower,upper,noise and a row per deviation and tau
                     (deviation by its CSV name; tau in s; TDEV, TTOTDEV, MTIE and TIE rms in s,
                     the others fractional; 17 significant digits, "." as the decimal point; lower
                     and upper empty where a point has no interval; noise the noise type
                     identified at that tau); with several files a leading column run
                     names each row's file: its file name, or its path where two files have
                     the same name
  --plot PICTURE     also draw the deviations as the window's Stability page plots them (log-log,
                     the intervals as bars, a legend; fractional deviations above those in s;
                     each run in a colour of its own) into PICTURE, a .png, .svg or .pdf (lines
                     and text) by its extension; no display is needed. A PICTURE that cannot be
                     written ends the command before the analysis, with status 7
  --size WxH         the picture's width and height in pixels, each 16 to 20000 (default 800x600)
  --help             this text

On a terminal, an analysis that takes longer than a second shows its progress on standard error.
)";
}

} // namespace cli
