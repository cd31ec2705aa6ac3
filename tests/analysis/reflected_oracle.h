// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace analysis_test {

// The reflected sum of analysis::reflectedSquareSum formed as it is defined, stretch by stretch:
// each detrended, reflected to 9m values and its 6m second differences of m-sums squared.
// O(m) per stretch; for checking the fast sums on short series.
long double reflectedOracle(std::span<const double> z, std::int64_t m);

} // namespace analysis_test
