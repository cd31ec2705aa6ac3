// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/compared_values.h"

#include <cmath>
#include <limits>

namespace analysis {
namespace {

constexpr double kNominalTolerance = 1e-4;
constexpr double kMsPerSecond = 1000;
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The readings [0, count) in columns: times in s, values as frequencies where they are
// frequencies or periods, and where a recorded gap comes before a reading.
struct Columns {
    std::vector<double> seconds;
    std::vector<double> values;
    std::vector<bool> afterGap;
    bool phase = false;
};

Columns columnsOf(const ReadingSource& source, std::size_t count) {
    Columns columns;
    columns.seconds.reserve(count);
    columns.values.reserve(count);
    columns.afterGap.assign(count, false);
    for (std::size_t gap = 0; gap < source.gapCount(); ++gap) {
        if (source.gapBefore(gap) < count) {
            columns.afterGap[source.gapBefore(gap)] = true;
        }
    }
    const auto runs = source.quantityRuns();
    std::size_t run = 0;
    Quantity quantity =
        runs.empty() || runs.front().first > 0 ? Quantity::Frequency : runs.front().quantity;
    columns.phase = quantity == Quantity::Phase;
    for (std::size_t b = 0; b < source.blockCount() && columns.seconds.size() < count; ++b) {
        const ReadingBlock block = source.block(b);
        for (std::size_t i = 0; i < block.count && columns.seconds.size() < count; ++i) {
            const std::size_t index = block.first + i;
            while (run < runs.size() && runs[run].first <= index) {
                quantity = runs[run++].quantity;
            }
            const double value = block.value(i);
            double usable = value;
            if (quantity == Quantity::Period) {
                usable = value > 0 ? 1 / value : kNotANumber;
            } else if (quantity == Quantity::Frequency && !(value > 0)) {
                usable = kNotANumber;
            }
            columns.seconds.push_back(block.timeMs(i) / kMsPerSecond);
            columns.values.push_back(std::isfinite(usable) ? usable : kNotANumber);
        }
    }
    return columns;
}

double meanOf(const std::vector<double>& values) {
    double sum = 0;
    std::size_t n = 0;
    for (const double value : values) {
        if (std::isfinite(value)) {
            sum += value;
            ++n;
        }
    }
    return n > 0 ? sum / static_cast<double>(n) : kNotANumber;
}

// A phase run's fractional frequency between each reading and the one before.
std::vector<double> phaseRates(const Columns& columns) {
    std::vector<double> rates(columns.values.size(), kNotANumber);
    for (std::size_t i = 1; i < rates.size(); ++i) {
        const double spacing = columns.seconds[i] - columns.seconds[i - 1];
        if (!columns.afterGap[i] && spacing > 0) {
            rates[i] = (columns.values[i] - columns.values[i - 1]) / spacing;
        }
    }
    return rates;
}

// The phase less the line that fits it best in the least-squares sense.
void removeLine(const std::vector<double>& seconds, std::vector<double>& phase) {
    double meanT = 0;
    double meanX = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < phase.size(); ++i) {
        if (std::isfinite(phase[i])) {
            meanT += seconds[i];
            meanX += phase[i];
            ++n;
        }
    }
    if (n == 0) {
        return;
    }
    meanT /= static_cast<double>(n);
    meanX /= static_cast<double>(n);
    double tt = 0;
    double tx = 0;
    for (std::size_t i = 0; i < phase.size(); ++i) {
        if (std::isfinite(phase[i])) {
            tt += (seconds[i] - meanT) * (seconds[i] - meanT);
            tx += (seconds[i] - meanT) * (phase[i] - meanX);
        }
    }
    const double slope = tt > 0 ? tx / tt : 0;
    for (std::size_t i = 0; i < phase.size(); ++i) {
        phase[i] -= meanX + slope * (seconds[i] - meanT);
    }
}

} // namespace

double nominalOf(double mean) {
    if (!(mean > 0) || !std::isfinite(mean)) {
        return mean;
    }
    for (double step = std::pow(10.0, std::ceil(std::log10(mean))); step > 0; step /= 10) {
        const double rounded = std::round(mean / step) * step;
        if (rounded > 0 && std::abs(rounded - mean) <= kNominalTolerance * mean) {
            return rounded;
        }
    }
    return mean;
}

std::vector<double> comparedValues(const ReadingSource& source, std::size_t count,
                                   Comparison comparison) {
    Columns columns = columnsOf(source, count);
    if (comparison == Comparison::AsRead) {
        std::vector<double> values(columns.values.size());
        for (std::size_t b = 0, k = 0; b < source.blockCount() && k < values.size(); ++b) {
            const ReadingBlock block = source.block(b);
            for (std::size_t i = 0; i < block.count && k < values.size(); ++i) {
                values[k++] = block.value(i);
            }
        }
        return values;
    }
    if (columns.phase) {
        if (comparison == Comparison::PhaseResidual) {
            removeLine(columns.seconds, columns.values);
            return std::move(columns.values);
        }
        std::vector<double> rates = phaseRates(columns);
        if (comparison == Comparison::OffsetFromMean) {
            const double mean = meanOf(rates);
            for (double& rate : rates) {
                rate -= mean;
            }
        }
        return rates;
    }
    const double mean = meanOf(columns.values);
    const double reference = comparison == Comparison::OffsetFromNominal ? nominalOf(mean) : mean;
    std::vector<double> offsets(columns.values.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        offsets[i] = (columns.values[i] - reference) / reference;
    }
    if (comparison != Comparison::PhaseResidual) {
        return offsets;
    }
    std::vector<double> phase(offsets.size(), kNotANumber);
    double sum = 0;
    for (std::size_t i = 0; i < phase.size(); ++i) {
        const bool joined = i > 0 && !columns.afterGap[i];
        const double spacing = joined ? columns.seconds[i] - columns.seconds[i - 1] : 0;
        if (std::isfinite(offsets[i])) {
            sum += offsets[i] * spacing;
            phase[i] = sum;
        }
    }
    removeLine(columns.seconds, phase);
    return phase;
}

} // namespace analysis
