// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace analysis {

// Equivalent degrees of freedom of the total and Theo deviations after NIST SP 1065, for one
// gap-free segment of `points` phase points (readings + 1) at factor m, noise type alpha
// (S_y ~ f^alpha). Empty where SP 1065 gives none for the noise type.

// TOTDEV: b M / m - c (Table 7) for white FM, flicker FM and random walk FM; the simple formulas
// (Table 5) for white and flicker PM.
std::optional<double> totalEdf(int alpha, std::int64_t m, std::int64_t points);

// MTOTDEV and TTOTDEV: b M / m - c (Table 8), white PM .. random walk FM.
std::optional<double> modifiedTotalEdf(int alpha, std::int64_t m, std::int64_t points);

// Theo1, TheoBR and TheoH's TheoBR points, with r = 0.75 m (Howe and Tasset's formulas, as SP
// 1065 lists them), white PM .. random walk FM.
std::optional<double> theo1Edf(int alpha, std::int64_t m, std::int64_t points);

// The ratio of the variance to the Allan (or modified Allan, Hadamard) variance that SP 1065
// gives for the noise type, by which a bias-corrected variant divides the variance; empty where
// it gives none (no correction then). tauOverRun: tau / (readings tau0).
std::optional<double> totalBias(int alpha, double tauOverRun);
std::optional<double> modifiedTotalBias(int alpha);
std::optional<double> hadamardTotalBias(int alpha);

} // namespace analysis
