// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/measurement_loading.h"

#include "counter/journal_format.h"
#include "counter/telegram_reading.h"

#include <cmath>
#include <fstream>

namespace app {
namespace {

bool startsAsJournal(const std::string& path) {
    std::string magic(counter::kJournalMagic.size(), '\0');
    std::ifstream file(path, std::ios::binary);
    return file.read(magic.data(), static_cast<std::streamsize>(magic.size())) &&
           magic == counter::kJournalMagic;
}

} // namespace

LoadedMeasurement loadJournal(const std::string& path) {
    LoadedMeasurement loaded;
    std::string lastTelegram;
    const counter::JournalReadResult result =
        counter::readJournal(path, [&](const counter::JournalRecord& record) {
            if (record.kind == counter::JournalRecordKind::Reading) {
                loaded.readings.push_back({record.timeMs, record.value});
                lastTelegram.assign(record.telegram);
            }
        });
    if (std::isfinite(result.header.startTime)) {
        loaded.startTime = result.header.startTime;
    }
    if (!loaded.readings.empty()) {
        loaded.lastReading = counter::readingFromTelegram(lastTelegram);
    }
    loaded.journalState = result.report.state;
    loaded.report = counter::journalReportText(result.report);
    return loaded;
}

LoadedMeasurement loadMeasurement(const std::string& path) {
    if (startsAsJournal(path)) {
        return loadJournal(path);
    }
    counter::MeasurementFile file = counter::readMeasurementFile(path);
    LoadedMeasurement loaded;
    loaded.readings = std::move(file.readings);
    loaded.startTime = file.startTime;
    loaded.report = counter::measurementFileReportText(file);
    return loaded;
}

} // namespace app
