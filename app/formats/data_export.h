// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/formats/io_messages.h"

#include <QLocale>
#include <string>

namespace app {

class LogModel;

// Name of the close-time export, in the working folder.
inline constexpr char kLastMeasurementFile[] = "last_measurement.dat";

// Writes the log as ".dat" (three header lines with `startTime`, then "time value" with "." as
// decimal point) or ".csv" ("time;value", the locale's separator kept); lines end in CR LF.
// Any other extension (case counts) writes nothing. The file is written beside its target and
// renamed over it, so a failure never leaves a half-written file. Returns "" or
// "File access denied".
std::string saveData(const std::string& fileName, const std::string& extension, const LogModel& log,
                     double startTime, const QLocale& locale = QLocale::system());

// Writes the log as a timestamped CSV: the header line "time_utc,value", then each reading's
// arrival as ISO 8601 UTC with milliseconds (`startTime` plus its time) and its value, "." as
// decimal point; lines end in CR LF. Returns "", kUnknownStartTime or "File access denied".
std::string saveTimestampedData(const std::string& fileName, const LogModel& log, double startTime);

// The extension of a chosen file name: from the last "." of its last path part on, or empty.
std::string fileExtension(const std::string& fileName);

} // namespace app
