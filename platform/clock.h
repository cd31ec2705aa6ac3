// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace platform {

// Local wall-clock date-time as days since 1899-12-30 00:00 (the fraction is the time of day).
// For moments shown to the user and written to files, never for measuring spans.
double nowDateTime();

// Milliseconds on a monotonic clock: spans and time-outs, immune to clock changes.
std::int64_t monotonicMs();

// The processor time every thread of this process has used, in milliseconds: what a piece of
// work cost, waits for a core left out.
double processorMs();

} // namespace platform
