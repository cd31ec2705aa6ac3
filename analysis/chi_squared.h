// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace analysis {

// The regularized lower incomplete gamma function P(a, x) = gamma(a, x) / Gamma(a), a > 0.
// Returns 0 for x <= 0 and 1 for x = infinity.
double regularizedLowerGamma(double a, double x);

// The p-quantile of the chi-squared distribution with dof degrees of freedom, which need not be
// whole (equivalent degrees of freedom rarely are). Requires 0 < p < 1 and dof > 0; returns 0
// otherwise.
double chiSquaredQuantile(double p, double dof);

} // namespace analysis
