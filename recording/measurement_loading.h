// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"
#include "recording/gap.h"
#include "recording/journal_reader.h"
#include "recording/measurement_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace recording {

// A gap of a journal and where it lies among the readings: before readings[beforeReading], or
// after the last one where that is readings.size().
struct PlacedGap {
    std::size_t beforeReading = 0;
    Gap gap;
};

// A measurement read back from a file, to be shown as if just measured.
struct LoadedMeasurement {
    std::vector<recording::MeasurementPoint> readings;
    std::vector<PlacedGap> gaps;     // journals: the recorded gaps, in order
    std::optional<double> startTime; // days since 1899-12-30
    // Journals: the last reading as its telegram tells it, for the display and the axis caption.
    std::optional<counter::Reading> lastReading;
    // What the readings measure: journals tell; .dat and .csv files hold frequencies or periods,
    // and are taken for frequencies.
    counter::Quantity quantity = counter::Quantity::Frequency;
    // Journals: how the file read.
    std::optional<recording::JournalFileState> journalState;
    // What the user needs to know about a file that was not read whole; empty when it was.
    std::string report;
};

// A recording journal (told by its first bytes), or a .dat or .csv file as the program saves them.
LoadedMeasurement loadMeasurement(const std::string& path);
LoadedMeasurement loadJournal(const std::string& path);

} // namespace recording
