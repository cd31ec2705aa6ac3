// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace recording {

// Why a recording has no readings for a while.
enum class GapCause : std::uint8_t {
    Reconnect = 1,     // the device was gone and came back
    LostTelegrams = 2, // the line delivered telegrams the program could not take in
};

// A stretch of a recording without readings that the session knows of, in arrival times (ms
// since the connect attempt): a reconnect from the moment the device went away to its return,
// lost telegrams from the last reading before them to the first one after.
struct Gap {
    double startMs = 0;
    double endMs = 0;
    GapCause cause = GapCause::Reconnect;
    std::uint64_t lostTelegrams = 0; // LostTelegrams: how many; 0 where not known
};

} // namespace recording
