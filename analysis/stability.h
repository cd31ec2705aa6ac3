// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Frequency stability of counter readings: overlapping Allan, modified Allan, overlapping
// Hadamard and time deviation, the total family, Theo1 and its relatives, MTIE and TIE rms, with
// confidence intervals where the deviation has an EDF (see deviation.h for each one's
// description, and extended_points.h for the ones formed from the stored phase).
//
// Conventions, for the readers of the results:
// - A reading is a time stamp in ms and a frequency in Hz, a period in s taken as the frequency
//   1 / period, or a phase in s (below). A frequency that is not a finite positive number (0 Hz,
//   a period of 0 s, NaN) is not usable: the reading keeps its place in time but has no value,
//   so it splits the series like a missing reading. A reading whose time stamp is not finite is
//   ignored.
// - tau0 is the median of the positive intervals between consecutive time stamps (the lower
//   middle one for an even count). An interval of 1.5 tau0 or more means readings are missing:
//   the series is split there into gap-free segments and no term of any deviation spans the
//   gap. A gap the recording knows of (Reading::gapBefore: a reconnect, lost telegrams) splits
//   it the same way wherever it lies, also where the time stamps run on evenly. The terms of all
//   segments are pooled (summed, counted together).
// - Fractional frequency y = (f - f0) / f0, f0 the nominal (the mean of the usable readings
//   unless given). The deviations are computed from the differences to the first usable
//   reading and scaled by 1 / f0 at the end, which is the same and keeps the digits. tau0
//   cancels in ADEV, MDEV and HDEV; it sets the taus and the scale of TDEV (seconds).
// - Phase readings (time error x in s): the first reading with a finite time stamp says whether
//   the series is phase or frequency (frequency and period readings mix freely); a reading of
//   the other kind has no value, like an unusable one. A phase value that is not finite has no
//   value; any other is usable, 0 and negative ones too. tau0 and the gaps come from the time
//   stamps as above. Between two consecutive phase readings of a gap-free segment lies the
//   fractional frequency y = (x_k - x_(k-1)) / tau0, which belongs to the later reading: the
//   first reading of every segment, and each one after a gap or a reading without value, yields
//   none, so a segment of n phase readings gives n - 1 frequencies on its own n phase points and
//   no term spans a gap. The deviations are computed from the steps x_k - x_(k-1) as the values
//   above and scaled by 1 / tau0 instead of 1 / f0, so they need nothing rebuilt when tau0
//   moves. There is no nominal: nominalHz is 0 and the nominal of the options does not apply.
//   values counts the frequencies (what N means below), segments the runs that have any.
// - Drift removal fits the least-squares line y = a + b t (t from the time stamps, for phase the
//   time of the later reading) through all usable frequencies and analyses the residuals; its
//   slope is in SpanStatistics, which for phase readings also gives the phase's own mean and
//   spread in s and the frequency offset, the slope of the line through (t, x).
// - Averaging factors m = 1, 2, 4, ... or 1, 2, 5, 10, ... up to N / 4 (N usable frequencies;
//   m = 1 also below four); an averaging time without any term is left out, so a point
//   always has terms >= 1. tau = m tau0.
// - Confidence intervals from Greenhall's equivalent degrees of freedom for the noise type
//   alpha (S_y ~ f^alpha) and the chi-squared distribution. Unless forced, alpha is identified
//   per averaging factor by the lag-1 autocorrelation of the averages over m readings; where
//   fewer than 30 averages exist (or they do not vary), the type found at the largest factor
//   that had enough is used, and white frequency noise (alpha = 0) where none had. alpha is kept
//   to the range the estimate's EDF is defined for: -2 .. 2 for the Allan family, -4 .. 2 for
//   the Hadamard deviation. The averages come from within segments, one segment after the
//   other; a pooled point's EDF combines its segments' (1/edf = sum of (n_s/n)^2 / edf_s).
//   Bounds: value sqrt(edf / q), q the chi-squared quantiles at (1 -+ level) / 2. White phase
//   noise leaves an ADEV or HDEV point with ceil(terms / m) <= 2 or 3 (in any of its segments)
//   without an interval (hasInterval false), as Greenhall's method has no answer there.
// - The total family, Theo1, TheoBR, TheoH, MTIE and TIE rms take each gap-free segment's phase
//   on its own (reflected at its own ends, windows within it) and pool the segments' sums and
//   terms; MTIE is the largest of the segments'. Their factors reach beyond N / 4: TOTDEV up to
//   M - 1 (M phase points of the longest segment), MTOTDEV, TTOTDEV and HTOTDEV up to M / 3,
//   Theo1 even m up to M - 1 (tau = 0.75 m tau0), MTIE and TIE rms up to M - 2. Their noise types
//   come from the averages at m (Theo: at 0.75 m) as above, kept to -2 .. 2 (HTOTDEV -4 .. 2).
//   MTIE and TIE rms see the phase against the mean frequency of all usable values, for phase
//   readings too. Values are as NIST SP 1065 defines them, without bias
//   corrections unless biasCorrected asks for SP 1065's (TOTDEV for flicker and random walk FM,
//   MTOTDEV and TTOTDEV, HTOTDEV beyond m = 1 for FM noise), by the noise type of each tau.
// - Long series are analysed on several threads. A control (analysis_control.h) follows the
//   costly estimators and can stop them.
// - No field of a result is ever NaN or infinite; without usable readings, or with fewer than two
//   distinct time stamps (tau0 unknown), there are simply no points.

#include "analysis/analysis_control.h"
#include "analysis/deviation.h"
#include "analysis/reading.h"
#include "analysis/reading_source.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace analysis {

// erf(1 / sqrt(2)): the content of +-1 standard deviation.
inline constexpr double kOneSigmaConfidence = 0.68268949213708585;

struct StabilityOptions {
    // Nominal frequency in Hz; empty (or not a finite positive number): the mean of the readings.
    // Phase readings have none.
    std::optional<double> nominalHz;
    TauSpacing spacing = TauSpacing::Octave;
    // Averaging factors m to report instead of the spacing's grid, where the kind has terms (the
    // live analysis reports only those of its two grids).
    std::vector<std::int64_t> factors;
    // Which deviations, in the order the points come in.
    std::vector<Deviation> kinds{Deviation::Allan, Deviation::ModifiedAllan, Deviation::Hadamard,
                                 Deviation::Time};
    // Fit a straight line y = a + b t through all usable readings and analyse the residuals.
    bool removeDrift = false;
    // Confidence level of the interval, two-sided; none outside 0 < level < 1.
    double confidence = kOneSigmaConfidence;
    // Noise type for every interval instead of the identified one.
    std::optional<int> forcedAlpha;
    // The bias-corrected variants of TOTDEV, MTOTDEV, TTOTDEV and HTOTDEV.
    bool biasCorrected = false;
};

struct StabilityResult {
    double tau0 = 0;         // s; 0 when unknown
    double nominalHz = 0;    // the nominal the readings were divided by; 0 for fractional and phase
    std::int64_t values = 0; // usable frequencies: readings, or steps between phase readings
    std::int64_t segments = 0; // gap-free runs of them
    // For each kind in the order of the options, the averaging times in ascending order.
    std::vector<DeviationPoint> points;
    bool cancelled = false; // the control stopped it; points may be missing
};

StabilityResult analyzeReadings(std::span<const Reading> readings, const StabilityOptions& options,
                                const AnalysisControl& control = {});
// The same for the readings [first, last) of a source.
StabilityResult analyzeReadings(const ReadingSource& readings, std::size_t first, std::size_t last,
                                const StabilityOptions& options,
                                const AnalysisControl& control = {});

// The same for a series of fractional frequencies one tau0 (s) apart, taken as they are (the
// nominal of the options does not apply); a value that is not finite is a missing one.
StabilityResult analyzeFractional(std::span<const double> fractional, double tau0,
                                  const StabilityOptions& options,
                                  const AnalysisControl& control = {});

} // namespace analysis
