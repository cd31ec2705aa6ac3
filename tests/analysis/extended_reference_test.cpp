// SPDX-License-Identifier: GPL-3.0-or-later
// The total, Theo and time-error deviations against allantools on the five noise series and
// against the values NIST SP 1065 and Stable32 publish for the NBS14 sets.
#include "reference_data.h"

#include "analysis/stability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace {

using analysis::Deviation;
using analysis_test::number;

const std::pair<const char*, int> kSeries[] = {
    {"wpm", 2}, {"fpm", 1}, {"wfm", 0}, {"ffm", -1}, {"rwfm", -2}};

const std::vector<Deviation> kExtended{
    Deviation::Total, Deviation::ModifiedTotal, Deviation::TimeTotal, Deviation::HadamardTotal,
    Deviation::Theo1, Deviation::Mtie,          Deviation::TieRms};

using PointsByKey = std::map<std::pair<std::string, double>, analysis::DeviationPoint>;

PointsByKey byKey(const analysis::StabilityResult& result) {
    PointsByKey points;
    for (const analysis::DeviationPoint& point : result.points) {
        points[{std::string(analysis::shortName(point.kind)), point.tau}] = point;
    }
    return points;
}

const analysis::DeviationPoint* find(const PointsByKey& points, const std::string& kind,
                                     double tau) {
    const auto it = points.find({kind, tau});
    return it == points.end() ? nullptr : &it->second;
}

void expectRelative(double actual, double expected, double tolerance, const std::string& what) {
    EXPECT_LE(std::fabs(actual - expected), tolerance * std::fabs(expected))
        << what << ": " << actual << " instead of " << expected;
}

analysis::StabilityOptions extendedOptions(std::optional<int> alpha) {
    analysis::StabilityOptions options;
    options.kinds = kExtended;
    options.forcedAlpha = alpha;
    options.confidence = 0.683;
    return options;
}

// Every row of an expected _ext file: the value, and the interval factors where allantools has
// an EDF; the time-error rows never carry an interval.
void expectExtended(const analysis::StabilityResult& result, const std::string& file) {
    const PointsByKey points = byKey(result);
    const auto rows = analysis_test::readCsv("expected/" + file);
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        const std::string what = file + " " + row.at("deviation") + " tau " + row.at("tau");
        const analysis::DeviationPoint* point =
            find(points, row.at("deviation"), number(row, "tau"));
        ASSERT_NE(point, nullptr) << what;
        expectRelative(point->value, number(row, "value"), 1e-9, what);
        if (row.at("deviation") == "mtie" || row.at("deviation") == "tierms" ||
            row.at("deviation") == "htotdev") {
            EXPECT_FALSE(point->hasInterval) << what;
        }
        if (row.at("lo_factor").empty()) {
            continue;
        }
        ASSERT_TRUE(point->hasInterval) << what;
        expectRelative(point->lower / point->value, number(row, "lo_factor"), 0.01, what + " lo");
        expectRelative(point->upper / point->value, number(row, "hi_factor"), 0.01, what + " hi");
    }
}

TEST(ExtendedReference, SeriesAtTenMegahertzMatchAllantools) {
    for (const auto& [name, alpha] : kSeries) {
        const auto y = analysis_test::readNumbers(std::string("series/") + name + ".txt");
        expectExtended(analysis::analyzeFractional(y, 1.0, extendedOptions(alpha)),
                       std::string(name) + "_ext.csv");
    }
}

TEST(ExtendedReference, DatFilesWithTheMeanAsNominalMatchAllantools) {
    for (const auto& [name, alpha] : kSeries) {
        const auto readings = analysis_test::readDat(std::string("series/") + name + ".dat");
        expectExtended(analysis::analyzeReadings(readings, extendedOptions(alpha)),
                       std::string(name) + "_ext_mean-nominal.csv");
    }
}

// The EDF formulas for every noise type: each row of the bounds-by-alpha files with an EDF.
TEST(ExtendedReference, DegreesOfFreedomForEveryNoiseType) {
    const auto y = analysis_test::readNumbers("series/wfm.txt");
    for (int alpha = 2; alpha >= -2; --alpha) {
        const PointsByKey points =
            byKey(analysis::analyzeFractional(y, 1.0, extendedOptions(alpha)));
        for (const auto& row : analysis_test::readCsv("expected/wfm_ext_bounds-by-alpha.csv")) {
            if (static_cast<int>(number(row, "alpha")) != alpha || row.at("edf").empty()) {
                continue;
            }
            const std::string what =
                row.at("deviation") + " tau " + row.at("tau") + " alpha " + std::to_string(alpha);
            const analysis::DeviationPoint* point =
                find(points, row.at("deviation"), number(row, "tau"));
            ASSERT_NE(point, nullptr) << what;
            ASSERT_TRUE(point->hasInterval) << what;
            expectRelative(point->edf, number(row, "edf"), 1e-9, what + " edf");
            expectRelative(point->lower / point->value, number(row, "lo_factor"), 0.01, what);
            expectRelative(point->upper / point->value, number(row, "hi_factor"), 0.01, what);
        }
    }
}

// Half a unit in the last of `digits` significant digits of value.
double halfLastDigit(double value, int digits) {
    return 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(value))) - digits + 1);
}

analysis::Deviation kindOf(const std::string& name) {
    const auto kind = analysis::deviationFromShortName(name);
    EXPECT_TRUE(kind.has_value()) << name;
    return kind.value_or(Deviation::Allan);
}

// The published tables: plain values against the plain estimators, the bias-corrected ones
// (for white FM, as NIST computed them) against the bias-corrected variants.
TEST(ExtendedReference, PublishedNbs14ValuesToTheirDigits) {
    const std::map<std::string, std::vector<double>> sets{
        {"nbs14_10", analysis_test::readNumbers("nbs14/nbs14_10.txt")},
        {"nbs14_1000", analysis_test::readNumbers("nbs14/nbs14_1000_frequency.txt")}};
    for (const auto& row : analysis_test::readCsv("nbs14/published_ext.csv")) {
        analysis::StabilityOptions options;
        options.kinds = {kindOf(row.at("deviation"))};
        options.factors = {static_cast<std::int64_t>(number(row, "m"))};
        options.biasCorrected = row.at("bias_corrected") == "yes";
        options.forcedAlpha = 0;
        const auto result = analysis::analyzeFractional(sets.at(row.at("dataset")), 1.0, options);
        const std::string what = row.at("dataset") + " " + row.at("deviation") + " m " +
                                 row.at("m") + (options.biasCorrected ? " corrected" : "");
        ASSERT_EQ(result.points.size(), 1u) << what;
        EXPECT_EQ(result.points[0].tau, number(row, "tau")) << what;
        const double published = number(row, "published");
        // The corrected tables divide a 7-digit deviation and cut the last digit rather than
        // rounding it (75.836066 is printed 75.83606): one unit of it is theirs.
        const double unit = 2 * halfLastDigit(published, static_cast<int>(number(row, "digits")));
        EXPECT_LE(std::fabs(result.points[0].value - published),
                  options.biasCorrected ? unit : unit / 2)
            << what << ": " << result.points[0].value << " published " << published;
    }
}

// Stable32's tables of the 1000-point set read as phase (x_0 = 0, x_(i+1) = x_i + y_i, one a
// second) at every factor they list, to their 5 digits; the bias-corrected HTOTDEV table against
// the bias-corrected variant, the plain Theo1 against the alpha0 tables (see the data's README).
TEST(ExtendedReference, Stable32PhaseTablesToTheirDigits) {
    const auto y = analysis_test::readNumbers("nbs14/nbs14_1000_frequency.txt");
    std::vector<analysis::Reading> phase{{0, 0, analysis::Quantity::Phase}};
    for (double v : y) {
        phase.push_back(
            {phase.back().timeMs + 1000, phase.back().value + v, analysis::Quantity::Phase});
    }
    std::map<std::string, analysis::StabilityOptions> tables;
    const auto rows = analysis_test::readCsv("nbs14/phasedat_ext.csv");
    for (const auto& row : rows) {
        if (row.at("file") == "phase_dat_theo1.txt") {
            continue;
        }
        analysis::StabilityOptions& options = tables[row.at("file")];
        options.kinds = {kindOf(row.at("deviation"))};
        options.biasCorrected = row.at("file") == "phase_dat_htotdev_octave.txt";
        options.forcedAlpha = 0;
        options.factors.push_back(static_cast<std::int64_t>(number(row, "m")));
    }
    for (const auto& [file, options] : tables) {
        std::map<std::int64_t, double> values;
        for (const auto& point : analysis::analyzeReadings(phase, options).points) {
            const bool theo = point.kind == Deviation::Theo1;
            values[std::llround(theo ? point.tau / 0.75 : point.tau)] = point.value;
        }
        for (const auto& row : rows) {
            if (row.at("file") != file) {
                continue;
            }
            const auto m = static_cast<std::int64_t>(number(row, "m"));
            ASSERT_TRUE(values.count(m)) << file << " m " << m;
            const double published = number(row, "stable32");
            EXPECT_LE(std::fabs(values[m] - published), halfLastDigit(published, 5))
                << file << " m " << m << ": " << values[m] << " published " << published;
            if (!options.biasCorrected) {
                expectRelative(values[m], number(row, "allantools"), 1e-9,
                               file + " m " + row.at("m") + " against allantools");
            }
        }
    }
}

} // namespace
