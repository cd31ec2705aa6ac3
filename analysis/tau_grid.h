// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/deviation.h"

#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// The largest averaging factor analysed for a series of this many values: a quarter of it,
// but at least 1.
std::int64_t largestAveragingFactor(std::int64_t values);

bool isOnGrid(TauSpacing spacing, std::int64_t m);

// The smallest factor of the grid above m (m >= 0).
std::int64_t nextOnGrid(TauSpacing spacing, std::int64_t m);

// The factors of the grid from 1 up to largest, ascending.
std::vector<std::int64_t> averagingFactors(TauSpacing spacing, std::int64_t largest);

// The factors an analysis reports up to largest, ascending: the given ones (each once, those from
// 1 up) when there are any, else the spacing's grid.
std::vector<std::int64_t> chosenFactors(TauSpacing spacing, std::span<const std::int64_t> given,
                                        std::int64_t largest);
bool isChosen(TauSpacing spacing, std::span<const std::int64_t> given, std::int64_t m);

} // namespace analysis
