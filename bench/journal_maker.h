// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// How the readings of a made journal arrived: one line period apart (the counter at line rate),
// or in floods: bunches of back-to-back readings a millisecond or less apart with pauses between,
// the same number of readings in the same time.
enum class LineShape { Even, Flooded };

// Writes a journal as a long recording leaves it behind (killed, never cleanly ended): `readings`
// display-dump telegrams of the virtual counter at line rate, 36 ms apart on average, starting a
// day before now. Returns an error message, or an empty string when written.
std::string makeJournal(const std::string& path, std::int64_t readings, LineShape shape);

} // namespace bench
