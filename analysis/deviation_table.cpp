// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/deviation_table.h"

#include "analysis/number_text.h"

#include <array>
#include <string_view>

namespace analysis {

namespace {

// Round trip for every double.
constexpr int kCsvDigits = 17;
// Decimals of the table's deviations: 5 significant digits, more than an interval resolves.
constexpr int kTableDecimals = 4;
// tau = m tau0 in full, without the rounding noise of the product ("12.8", not
// "12.800000000000001").
constexpr int kTauDigits = 10;
constexpr std::string_view kNoInterval = "-";

constexpr std::array<std::string_view, 7> kNoiseNames{
    "random run FM", "flicker walk FM", "random walk FM", "flicker FM",
    "white FM",      "flicker PM",      "white PM",
};
constexpr int kLowestNamedAlpha = -4;

void appendRightAligned(std::string& line, std::string_view text, std::size_t width) {
    line.append(text.size() < width ? width - text.size() : 0, ' ');
    line += text;
    line += ' ';
}

std::string tableRow(std::string_view tau, std::string_view terms, std::string_view value,
                     std::string_view lower, std::string_view upper, std::string_view noise) {
    std::string line;
    appendRightAligned(line, tau, 12);
    appendRightAligned(line, terms, 9);
    appendRightAligned(line, value, 11);
    appendRightAligned(line, lower, 11);
    appendRightAligned(line, upper, 11);
    line += ' ';
    line += noise;
    line += '\n';
    return line;
}

} // namespace

std::string noiseTypeName(int alpha) {
    const int index = alpha - kLowestNamedAlpha;
    if (index < 0 || index >= static_cast<int>(kNoiseNames.size())) {
        return "alpha " + std::to_string(alpha);
    }
    return std::string(kNoiseNames[static_cast<std::size_t>(index)]);
}

DeviationCells deviationCells(const DeviationPoint& point) {
    const auto bound = [&point](double value) {
        return point.hasInterval ? scientificText(value, kTableDecimals) : std::string(kNoInterval);
    };
    return {generalText(point.tau, kTauDigits),
            std::to_string(point.terms),
            scientificText(point.value, kTableDecimals),
            bound(point.lower),
            bound(point.upper),
            noiseTypeName(point.alpha)};
}

std::string deviationCsv(std::span<const DeviationPoint> points) {
    std::string text = "tau,deviation,terms,value,lower,upper,noise\n";
    for (const DeviationPoint& point : points) {
        text += generalText(point.tau, kCsvDigits);
        text += ',';
        text += shortName(point.kind);
        text += ',';
        text += std::to_string(point.terms);
        text += ',';
        text += generalText(point.value, kCsvDigits);
        text += ',';
        if (point.hasInterval) {
            text += generalText(point.lower, kCsvDigits);
        }
        text += ',';
        if (point.hasInterval) {
            text += generalText(point.upper, kCsvDigits);
        }
        text += ',';
        text += noiseTypeName(point.alpha);
        text += '\n';
    }
    return text;
}

std::string deviationTable(std::span<const DeviationPoint> points) {
    std::string text;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const DeviationPoint& point = points[i];
        if (i == 0 || points[i - 1].kind != point.kind) {
            text += i == 0 ? "" : "\n";
            text += deviationDescription(point.kind).caption;
            text += '\n';
            text += tableRow("tau/s", "terms", "deviation", "lower", "upper", "noise");
        }
        const DeviationCells cells = deviationCells(point);
        text +=
            tableRow(cells.tau, cells.terms, cells.value, cells.lower, cells.upper, cells.noise);
    }
    return text;
}

} // namespace analysis
