// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace analysis {

// Equivalent degrees of freedom of a variance estimate by C. A. Greenhall and W. J. Riley,
// "Uncertainty of stability variances based on finite differences" (2004), for power-law
// noise S_y ~ f^alpha (alpha = -4 .. 2):
//   d             order of the difference: 2 Allan and modified Allan, 3 Hadamard
//   m             averaging factor, tau = m tau0
//   phasePoints   number of phase points of the gap-free series (readings + 1)
//   overlapping   estimator stride tau0 (true) or tau (false)
//   modified      modified variance (phase averaged over m)
// Empty where the method has no answer: alpha + 2 d <= 1, or white phase noise with an
// unmodified variance and ceil(terms / m) <= d.
std::optional<double> greenhallEdf(int alpha, int d, std::int64_t m, std::int64_t phasePoints,
                                   bool overlapping, bool modified);

} // namespace analysis
