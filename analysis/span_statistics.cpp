// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/span_statistics.h"

#include "analysis/line_fit.h"
#include "analysis/timed_values.h"

#include <cmath>
#include <vector>

namespace analysis {

SpanStatistics spanStatistics(std::span<const Reading> readings, std::optional<double> nominalHz) {
    std::vector<double> seconds;
    std::vector<double> frequency;
    seconds.reserve(readings.size());
    frequency.reserve(readings.size());
    for (const Reading& reading : readings) {
        if (std::isfinite(reading.timeMs)) {
            seconds.push_back(reading.timeMs / 1000.0);
            frequency.push_back(usableFrequency(reading.value, reading.quantity));
        }
    }
    const LineFit fit = fitLine(seconds, frequency);
    SpanStatistics statistics;
    if (fit.count == 0) {
        return statistics;
    }
    statistics.count = fit.count;
    statistics.meanHz = fit.meanY;
    statistics.nominalHz = chosenNominal(nominalHz, fit.meanY);
    statistics.standardDeviationHz =
        fit.count > 1 ? std::sqrt(fit.squaresOfY / static_cast<double>(fit.count - 1)) : 0;
    statistics.minimumHz = fit.minimumY;
    statistics.maximumHz = fit.maximumY;
    statistics.driftHzPerSecond = fit.slope;
    statistics.driftPerSecond = fit.slope / statistics.nominalHz;
    return statistics;
}

} // namespace analysis
