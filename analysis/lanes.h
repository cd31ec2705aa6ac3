// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace analysis {

// Four doubles side by side: one AVX2 register in a function built for AVX2, two SSE2 ones
// elsewhere. Loaded and stored through memory, never passed by value, whose ABI would depend on
// whether AVX2 is there.
using Lanes = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline void load(Lanes& v, const double* p) {
    __builtin_memcpy(&v, p, sizeof v);
}

[[gnu::always_inline]] inline void store(double* p, const Lanes& v) {
    __builtin_memcpy(p, &v, sizeof v);
}

// Knuth's error-free addition of y to a running sum whose roundings gather in error.
[[gnu::always_inline]] inline void addWithoutLoss(Lanes& sum, Lanes& error, const Lanes& y) {
    const Lanes t = sum + y;
    const Lanes back = t - sum;
    error += (sum - (t - back)) + (y - back);
    sum = t;
}

} // namespace analysis
