// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"
#include "counter/reading.h"

namespace recording {

// What the analysis makes of a reading of the counter's kind.
analysis::Quantity analysisQuantity(counter::Quantity quantity);

} // namespace recording
