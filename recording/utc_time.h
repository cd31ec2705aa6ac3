// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace recording {

// Milliseconds since 1970-01-01T00:00:00Z as ISO 8601 with milliseconds in UTC:
// "2026-12-09T00:22:10.123Z". Years 1970 to 9999.
std::string utcText(std::int64_t utcMs);
// The same back; nothing for any other text.
std::optional<std::int64_t> parseUtcText(std::string_view text);

// A local date-time (days since 1899-12-30, the fraction the time of day) as UTC milliseconds, by
// the machine's time zone; nothing outside the years 1970 to 9999.
std::optional<std::int64_t> utcMsOfLocalDateTime(double dateTime);
// The local date-time of UTC milliseconds.
double localDateTimeOfUtcMs(std::int64_t utcMs);

} // namespace recording
