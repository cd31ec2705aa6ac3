// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/measurement_file.h"

#include <QLocale>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace recording {

enum class MeasurementFormat {
    Dat, // three "/*" header lines with the start date-time, then "time value", "." in the value
    Csv, // "time;value" with the locale's decimal separator, no header
    // The header line kTimestampedCsvHeader, then "UTC time,value": the moment each reading
    // arrived as ISO 8601 UTC with milliseconds, "." in the value whatever the locale.
    TimestampedCsv,
};

// The format an extension names: ".dat" or ".csv", the letter case counting; nothing for others.
std::optional<MeasurementFormat> measurementFormatOf(std::string_view extension);

// The header of a .dat file, its three lines each ending in `lineEnd`.
std::string datHeader(double startTime, const QLocale& locale, std::string_view lineEnd);

// One reading as a line of a .dat or .csv file, without its end; numbers as the log shows them
// (15 digits), in lower case.
std::string measurementLine(MeasurementFormat format, double timeMs, double value,
                            char decimalSeparator);
// One reading as a line of a timestamped CSV file, without its end: `startUtcMs` is the moment
// the times count from.
std::string timestampedLine(std::int64_t startUtcMs, double timeMs, double value);

// The reading at an index, 0 the oldest.
using ReadingAt = std::function<MeasurementPoint(std::size_t index)>;

// Writes `count` readings to `path` with CR LF line ends; a timestamped CSV needs a start time
// (days, local) that maps to UTC. The file (0600) is written beside its
// target and renamed over it, so a failure never leaves a half-written file, and a link at `path`
// is replaced, never followed (platform::ReplacingFile). Empty when written, else why not: the
// system's own cause ("No space left on device").
std::string saveMeasurement(const std::string& path, MeasurementFormat format, std::size_t count,
                            const ReadingAt& readingAt, double startTime, const QLocale& locale);

} // namespace recording
