// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_caption.h"

#include "analysis/deviation_table.h"
#include "analysis/number_text.h"

#include <cmath>

namespace app {
namespace {

constexpr int kDigits = 4;

std::string numberText(double value) {
    return analysis::generalText(std::isfinite(value) ? value : 0.0, kDigits);
}

std::string rateText(double value) {
    return analysis::scientificText(std::isfinite(value) ? value : 0.0, 3);
}

// Frequency readings are counted as the analysis counts its values; phase readings as they came,
// one more per segment than the frequencies between them.
std::string readingsText(const analysis::StabilityResult& result,
                         const analysis::SpanStatistics& statistics) {
    const std::int64_t count = statistics.phase ? statistics.count : result.values;
    const char* noun = statistics.phase ? " phase reading" : " reading";
    return std::to_string(count) + noun + (count == 1 ? "" : "s");
}

} // namespace

std::string stabilityCaption(const analysis::StabilityResult& result,
                             const analysis::SpanStatistics& statistics, bool driftRemoved) {
    if (result.points.empty()) {
        return readingsText(result, statistics) + ": too few for a deviation.";
    }
    const analysis::DeviationPoint& first = result.points.front();
    std::string text = readingsText(result, statistics) + ", tau0 " + numberText(result.tau0) +
                       " s.  Noise at " + numberText(first.tau) +
                       " s: " + analysis::noiseTypeName(first.alpha) + ".  ";
    if (statistics.phase) {
        text += "Frequency offset " + rateText(statistics.frequencyOffset) + ", drift ";
    } else {
        text += "Drift ";
    }
    text += rateText(statistics.driftPerSecond) + " /s";
    text += driftRemoved ? " (removed)." : ".";
    return text;
}

} // namespace app
