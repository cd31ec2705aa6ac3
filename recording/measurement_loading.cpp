// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_loading.h"

#include "counter/instruments.h"
#include "recording/journal_format.h"

#include <cmath>
#include <fstream>

namespace recording {
namespace {

bool startsAsJournal(const std::string& path) {
    std::string magic(recording::kJournalMagic.size(), '\0');
    std::ifstream file(path, std::ios::binary);
    return file.read(magic.data(), static_cast<std::streamsize>(magic.size())) &&
           magic == recording::kJournalMagic;
}

} // namespace

LoadedMeasurement loadJournal(const std::string& path) {
    LoadedMeasurement loaded;
    std::string lastTelegram;
    bool lastIsPhase = false;
    const recording::JournalReadResult result =
        recording::readJournal(path, [&](const recording::JournalRecord& record) {
            if (record.kind == JournalRecordKind::Reading ||
                record.kind == JournalRecordKind::PhaseReading) {
                loaded.readings.push_back({record.timeMs, record.value});
                lastTelegram.assign(record.telegram);
                lastIsPhase = record.kind == JournalRecordKind::PhaseReading;
            } else if (record.kind == JournalRecordKind::Gap) {
                loaded.gaps.push_back({loaded.readings.size(), record.gap});
            }
        });
    if (std::isfinite(result.header.startTime)) {
        loaded.startTime = result.header.startTime;
    }
    // The telegram tells what the reading was, in the words of the instrument that sent it.
    const counter::Instrument* instrument = counter::findInstrument(result.header.instrument);
    if (!loaded.readings.empty() && instrument) {
        loaded.lastReading = instrument->reading(lastTelegram);
    }
    if (loaded.lastReading) {
        loaded.quantity = loaded.lastReading->quantity;
    } else if (lastIsPhase) {
        loaded.quantity = counter::Quantity::Phase;
    }
    loaded.journalState = result.report.state;
    loaded.report = recording::journalReportText(result.report);
    return loaded;
}

LoadedMeasurement loadMeasurement(const std::string& path) {
    if (startsAsJournal(path)) {
        return loadJournal(path);
    }
    recording::MeasurementFile file = recording::readMeasurementFile(path);
    LoadedMeasurement loaded;
    loaded.readings = std::move(file.readings);
    loaded.startTime = file.startTime;
    loaded.report = recording::measurementFileReportText(file);
    return loaded;
}

} // namespace recording
