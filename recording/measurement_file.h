// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace recording {

struct MeasurementPoint {
    double timeMs = 0;
    double value = 0;
};

// A measurement file as the program saves it. ".dat": "/*" header lines, the second one "/* "
// and the start date-time as the machine's short date and long time; then lines "time value".
// ".csv": lines "time;value", no header. Either decimal separator, "." or ",", is read in either;
// lines end in CR LF or LF. A timestamped CSV: the header line kTimestampedCsvHeader, then lines
// "2026-12-09T00:22:10.123Z,value" (UTC, "." as the decimal point). Any other line is bad:
// counted, never guessed at.
inline constexpr std::string_view kTimestampedCsvHeader = "time_utc,value";

struct MeasurementFile {
    std::vector<MeasurementPoint> readings;
    bool hasHeader = false;          // a .dat header was there
    bool timestamped = false;        // a timestamped CSV: its start is its first reading
    std::optional<double> startTime; // days since 1899-12-30, from the header's date line
    std::string startTimeText;       // that date line after "/* ", as it stands
    std::uint64_t badLines = 0;
    std::uint64_t firstBadLine = 0; // counted from 1; 0 when every line was good
    // The first reading whose time is before the one of the reading before it, and the first
    // that no counter could have given (withinAnyCountersRange); lines counted from 1, 0 for none.
    std::uint64_t firstLineBack = 0;
    std::uint64_t firstLineOutOfRange = 0;
    std::string error; // why the file could not be read
};

// Whether a reading's time (in ms) and value could come from a counter: a finite time and value
// of at most 1e15 in size (some 31,700 years; 1 PHz) and a value of 0 or at least 1e-15 in size
// (1 fs). A value that is no number or infinite stands for a missing reading and passes.
bool withinAnyCountersRange(double timeMs, double value);

// Reads the file at `path`; its date is read in `locale`'s formats.
MeasurementFile readMeasurementFile(const std::string& path,
                                    const QLocale& locale = QLocale::system());
// The same from the file's bytes.
MeasurementFile parseMeasurementText(std::string_view text,
                                     const QLocale& locale = QLocale::system());

// What the user needs to know about a file that was not read whole; empty when it was.
std::string measurementFileReportText(const MeasurementFile& file);

} // namespace recording
