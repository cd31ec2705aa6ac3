// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_loading.h"

#include "counter/instruments.h"
#include "recording/analysis_quantity.h"
#include "recording/journal_format.h"
#include "recording/plain_text_readings.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace recording {
namespace {

bool startsAsJournal(const std::string& path) {
    std::string magic(recording::kJournalMagic.size(), '\0');
    std::ifstream file(path, std::ios::binary);
    return file.read(magic.data(), static_cast<std::streamsize>(magic.size())) &&
           magic == recording::kJournalMagic;
}

// Enough of a file's first bytes for the three header lines of a .dat.
std::string fileStart(const std::string& path) {
    constexpr std::size_t kHeaderBytes = 4096;
    std::string start(kHeaderBytes, '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    return start;
}

LoadedMeasurement loadPlainText(const std::string& path) {
    constexpr double kOneColumnSpacingSeconds = 1;
    LoadedMeasurement loaded;
    loaded.plainText = true;
    std::ifstream file(path, std::ios::binary);
    MeasurementFile summary;
    std::ostringstream bytes;
    if (file) {
        bytes << file.rdbuf();
    } else {
        summary.error = "it could not be opened";
    }
    const std::string text = bytes.str();
    const PlainTextReadings plain =
        parsePlainText(text, kOneColumnSpacingSeconds, analysis::Quantity::Frequency);
    for (const analysis::Reading& reading : plain.readings) {
        loaded.readings->append(reading.timeMs, reading.value, reading.quantity);
    }
    summary.badLines = plain.badLines;
    summary.firstBadLine = plain.firstBadLine;
    loaded.report = measurementFileReportText(summary);
    if (!plain.hasTimeStamps && !plain.readings.empty()) {
        loaded.report += std::string(loaded.report.empty() ? "" : " ") +
                         "One value a line: the readings are taken 1 s apart.";
    }
    return loaded;
}

} // namespace

LoadedMeasurement loadJournal(const std::string& path, const LoadControl& control) {
    LoadedMeasurement loaded;
    ReadingStore& store = *loaded.readings;
    std::string lastTelegram;
    bool lastIsPhase = false;
    const auto visit = [&](const recording::JournalRecord& record) {
        if (record.kind == JournalRecordKind::Reading ||
            record.kind == JournalRecordKind::PhaseReading) {
            // The quantity of the whole measurement is known at its end.
            store.append(record.timeMs, record.value, analysis::Quantity::Frequency);
            lastTelegram.assign(record.telegram);
            lastIsPhase = record.kind == JournalRecordKind::PhaseReading;
        } else if (record.kind == JournalRecordKind::Gap) {
            store.appendGap(record.gap);
        }
    };
    const auto onChunk = [&control, &loaded, &store](std::uint64_t done, std::uint64_t total) {
        if (control.cancel != nullptr && control.cancel->load()) {
            loaded.cancelled = true;
            return false;
        }
        if (control.grown) {
            control.grown(store);
        }
        if (control.progress && total > 0) {
            control.progress(static_cast<double>(done) / static_cast<double>(total));
        }
        return true;
    };
    const recording::JournalReadResult result = recording::readJournal(path, visit, onChunk);
    if (std::isfinite(result.header.startTime)) {
        loaded.startTime = result.header.startTime;
    }
    // The telegram tells what the reading was, in the words of the instrument that sent it.
    const counter::Instrument* instrument = counter::findInstrument(result.header.instrument);
    if (!store.empty() && instrument) {
        loaded.lastReading = instrument->reading(lastTelegram);
    }
    if (loaded.lastReading) {
        loaded.quantity = loaded.lastReading->quantity;
    } else if (lastIsPhase) {
        loaded.quantity = counter::Quantity::Phase;
    }
    if (!store.empty()) {
        store.setQuantity(analysisQuantity(loaded.quantity));
    }
    loaded.journalState = result.report.state;
    loaded.report = recording::journalReportText(result.report);
    return loaded;
}

LoadedMeasurement loadMeasurement(const std::string& path, const LoadControl& control) {
    if (startsAsJournal(path)) {
        return loadJournal(path, control);
    }
    if (isPlainText(path, fileStart(path))) {
        return loadPlainText(path);
    }
    const recording::MeasurementFile file = recording::readMeasurementFile(path);
    LoadedMeasurement loaded;
    for (const MeasurementPoint& point : file.readings) {
        loaded.readings->append(point.timeMs, point.value, analysis::Quantity::Frequency);
    }
    loaded.startTime = file.startTime;
    loaded.report = recording::measurementFileReportText(file);
    return loaded;
}

} // namespace recording
