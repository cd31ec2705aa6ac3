// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reading_file.h"

#include "recording/journal_reader.h"
#include "recording/measurement_file.h"
#include "recording/plain_text_readings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace cli {

namespace {

// The first line of the two (0 for none) and what is wrong there.
std::string faultText(std::uint64_t lineBack, std::uint64_t lineOutOfRange) {
    if (lineOutOfRange != 0 && (lineBack == 0 || lineOutOfRange < lineBack)) {
        return "line " + std::to_string(lineOutOfRange) +
               " holds a time or value beyond what any counter gives; no result comes from "
               "such readings";
    }
    if (lineBack != 0) {
        return "the time goes back at line " + std::to_string(lineBack) +
               "; no result comes from readings out of time order";
    }
    return {};
}

ReadingFile windowReadings(std::string_view text, analysis::Quantity quantity) {
    // The locale only matters for the start date of a .dat header, which is not needed here.
    const recording::MeasurementFile file = recording::parseMeasurementText(text, QLocale::c());
    ReadingFile result;
    result.badLines = file.badLines;
    result.firstBadLine = file.firstBadLine;
    result.fault = faultText(file.firstLineBack, file.firstLineOutOfRange);
    result.readings.reserve(file.readings.size());
    for (const recording::MeasurementPoint& point : file.readings) {
        result.readings.push_back({point.timeMs, point.value, quantity});
    }
    return result;
}

// The journal keeps a reading's unit as the counter showed it: hertz for frequencies, a time
// unit for periods.
analysis::Quantity journalQuantity(const recording::JournalRecord& record) {
    if (record.kind == recording::JournalRecordKind::PhaseReading) {
        return analysis::Quantity::Phase;
    }
    return record.unit.ends_with("Hz") ? analysis::Quantity::Frequency : analysis::Quantity::Period;
}

ReadingFile journalReadings(std::string_view text) {
    ReadingFile result;
    result.layout = FileLayout::Journal;
    bool gapPending = false;
    recording::JournalDecoder decoder([&](const recording::JournalRecord& record) {
        switch (record.kind) {
        case recording::JournalRecordKind::Reading:
        case recording::JournalRecordKind::PhaseReading:
            result.readings.push_back({record.timeMs, record.value, journalQuantity(record),
                                       std::exchange(gapPending, false)});
            break;
        case recording::JournalRecordKind::Gap:
            gapPending = true;
            ++result.recordedGaps;
            break;
        case recording::JournalRecordKind::Status:
        case recording::JournalRecordKind::Disconnect:
            break;
        }
    });
    decoder.decode(text, true);
    result.notice = recording::journalReportText(decoder.report());
    return result;
}

// The whole file (standard input for "-") into `text`; the reason when it cannot be read.
std::string readWholeFile(const std::string& path, std::string& text) {
    const bool standardInput = path == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::string error;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
        }
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    if (!standardInput) {
        ::close(fd);
    }
    return error;
}

ReadingFile plainReadings(std::string_view text, const ReadingFileOptions& options) {
    ReadingFile result;
    recording::PlainTextReadings plain =
        recording::parsePlainText(text, options.tau0Seconds, readingQuantity(options));
    result.readings = std::move(plain.readings);
    result.layout = plain.hasTimeStamps ? FileLayout::TimeValue : FileLayout::OneColumn;
    result.badLines = plain.badLines;
    result.firstBadLine = plain.firstBadLine;
    result.fault = faultText(plain.firstLineBack, plain.firstLineOutOfRange);
    return result;
}

} // namespace

ReadingFile readReadingFile(const std::string& path, const ReadingFileOptions& options) {
    std::string text;
    const std::string error = readWholeFile(path, text);
    if (!error.empty()) {
        ReadingFile result;
        result.error = error;
        return result;
    }
    if (!options.plainText && text.starts_with(recording::kJournalMagic)) {
        return journalReadings(text);
    }
    const bool window = !options.plainText && !recording::isPlainText(path, text);
    return window ? windowReadings(text, readingQuantity(options)) : plainReadings(text, options);
}

analysis::Quantity readingQuantity(const ReadingFileOptions& options) {
    return options.phase     ? analysis::Quantity::Phase
           : options.periods ? analysis::Quantity::Period
                             : analysis::Quantity::Frequency;
}

} // namespace cli
