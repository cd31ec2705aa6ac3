// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/stability.h"

namespace analysis_test {

// Every number of every point is finite.
void expectFinite(const analysis::StabilityResult& result);

// The same result to the last bit.
void expectIdentical(const analysis::StabilityResult& actual,
                     const analysis::StabilityResult& expected);

} // namespace analysis_test
