// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace analysis_test {

// The reflected sum of analysis::reflectedSquareSum formed as it is defined, stretch by stretch,
// in long double: each stretch detrended, reflected to 9m values and its 6m second differences
// of m-sums squared. O(m) per stretch; for checking the fast sums on short series.
long double reflectedOracle(std::span<const double> z, std::int64_t m);

// The same for the values z_t = prefix[t + 1] - prefix[t], each difference formed in long double
// (HTOTDEV's frequencies from the phase).
long double reflectedPrefixOracle(std::span<const double> prefix, std::int64_t m);

// The same in quadruple precision (GCC's and Clang's __float128, in software; slow), for phase
// whose noise lies nine digits below its line, beyond what long double resolves; and TOTDEV's
// sums, x reflected oddly at both ends, as defined.
long double reflectedQuadOracle(std::span<const double> z, std::int64_t m);
long double reflectedPrefixQuadOracle(std::span<const double> prefix, std::int64_t m);
long double totalQuadOracle(std::span<const double> x, std::int64_t m);

} // namespace analysis_test
