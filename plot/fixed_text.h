// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace plot {

// Decimal notation of v with exactly `decimals` digits after the point (no point for 0), no
// exponent and no blanks; independent of the process locale. A value that rounds to zero is
// written without a sign ("0.0", not "-0.0").
std::string fixedText(long double v, int decimals);

} // namespace plot
