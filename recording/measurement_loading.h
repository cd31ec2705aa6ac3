// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"
#include "recording/journal_reader.h"
#include "recording/reading_store.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace recording {

// A measurement read back from a file, to be shown as if just measured.
struct LoadedMeasurement {
    // Never null; journals: with the recorded gaps.
    std::shared_ptr<ReadingStore> readings = std::make_shared<ReadingStore>();
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
    // Plain text of another program (recording::isPlainText), read as frequencies; one value a
    // line is taken a second apart.
    bool plainText = false;
    // The reading stopped early because the control asked for it.
    bool cancelled = false;
};

// Follows a long read: progress gets the share of the file read (0 .. 1) now and then, on the
// reading thread; a set cancel flag ends the read there.
struct LoadControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double)> progress;
    // Called now and then while a journal is read, with the store as it stands: a snapshot taken
    // then may be read on another thread while the store fills.
    std::function<void(const ReadingStore&)> grown;
};

// A recording journal (told by its first bytes), a .dat or .csv file as the program saves them,
// or plain text of one or two columns; the readings go straight into the store.
LoadedMeasurement loadMeasurement(const std::string& path, const LoadControl& control = {});
LoadedMeasurement loadJournal(const std::string& path, const LoadControl& control = {});

} // namespace recording
