// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/journal_reader.h"
#include "counter/measurement_file.h"
#include "counter/reading.h"

#include <optional>
#include <string>
#include <vector>

namespace app {

// A measurement read back from a file, to be shown as if just measured.
struct LoadedMeasurement {
    std::vector<counter::MeasurementPoint> readings;
    std::optional<double> startTime; // days since 1899-12-30
    // Journals: the last reading as its telegram tells it, for the display and the axis caption.
    std::optional<counter::Reading> lastReading;
    // Journals: how the file read.
    std::optional<counter::JournalFileState> journalState;
    // What the user needs to know about a file that was not read whole; empty when it was.
    std::string report;
};

// A recording journal (told by its first bytes), or a .dat or .csv file as the program saves them.
LoadedMeasurement loadMeasurement(const std::string& path);
LoadedMeasurement loadJournal(const std::string& path);

} // namespace app
