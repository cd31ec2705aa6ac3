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

} // namespace

std::string stabilityCaption(const analysis::StabilityResult& result, double driftPerSecond,
                             bool driftRemoved) {
    if (result.points.empty()) {
        return std::to_string(result.values) + (result.values == 1 ? " reading" : " readings") +
               ": too few for a deviation.";
    }
    const analysis::DeviationPoint& first = result.points.front();
    std::string text =
        std::to_string(result.values) + " readings, tau0 " + numberText(result.tau0) +
        " s.  Noise at " + numberText(first.tau) + " s: " + analysis::noiseTypeName(first.alpha) +
        ".  Drift " +
        analysis::scientificText(std::isfinite(driftPerSecond) ? driftPerSecond : 0.0, 3) + " /s";
    text += driftRemoved ? " (removed)." : ".";
    return text;
}

} // namespace app
