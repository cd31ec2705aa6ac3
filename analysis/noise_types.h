// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/phase_series.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace analysis {

// The noise type at each averaging factor of an analysis, for 2 and 3 allowed differences:
// identified from the averages over m values within segments where there are enough of them,
// else the type of the largest smaller factor that had enough, else white FM (alpha 0); or the
// forced one everywhere.
class NoiseTypes {
public:
    NoiseTypes(const PhaseSeries& series, std::vector<std::int64_t> factors,
               std::optional<int> forced);
    // d: 2 (the Allan family) or 3 (the Hadamard family); m need not be one of the factors.
    int alpha(std::int64_t m, int d) const;

private:
    std::vector<std::int64_t> factors_; // ascending, each once
    std::vector<std::array<int, 2>> types_;
    std::optional<int> forced_;
};

} // namespace analysis
