// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Journal records with their texts owned, to compare what went into a journal with what came out.

#include "recording/journal_encoder.h"
#include "recording/journal_reader.h"

#include <bit>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

struct OwnedRecord {
    recording::JournalRecordKind kind = recording::JournalRecordKind::Reading;
    double timeMs = 0;
    double value = 0;
    std::string unit;
    std::string telegram;
    // Gaps: the end, cause and count (the start is timeMs).
    recording::Gap gap{};

    // Bit for bit: -0 is no 0, and a NaN equals itself.
    bool operator==(const OwnedRecord& other) const {
        const auto same = [](double a, double b) {
            return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
        };
        return kind == other.kind && same(timeMs, other.timeMs) && same(value, other.value) &&
               unit == other.unit && telegram == other.telegram &&
               same(gap.startMs, other.gap.startMs) && same(gap.endMs, other.gap.endMs) &&
               gap.cause == other.gap.cause && gap.lostTelegrams == other.gap.lostTelegrams;
    }
};

inline OwnedRecord gapRecord(double startMs, double endMs, recording::GapCause cause,
                             std::uint64_t lost) {
    return {recording::JournalRecordKind::Gap, startMs, 0, {}, {}, {startMs, endMs, cause, lost}};
}

inline void PrintTo(const OwnedRecord& r, std::ostream* out) {
    *out << "{kind " << static_cast<int>(r.kind) << ", t " << r.timeMs << ", v " << r.value
         << ", unit \"" << r.unit << "\", telegram \"" << r.telegram << "\", gap to " << r.gap.endMs
         << " cause " << static_cast<int>(r.gap.cause) << " lost " << r.gap.lostTelegrams << "}";
}

struct DecodedJournal {
    recording::JournalHeader header;
    recording::JournalReport report;
    std::vector<OwnedRecord> records;
};

inline recording::JournalDecoder::Visitor collectInto(std::vector<OwnedRecord>& records) {
    return [&records](const recording::JournalRecord& r) {
        records.push_back({r.kind, r.timeMs, r.value, std::string(r.unit), std::string(r.telegram),
                           r.kind == recording::JournalRecordKind::Gap ? r.gap : recording::Gap{}});
    };
}

inline DecodedJournal decodeJournal(std::string_view bytes) {
    DecodedJournal decoded;
    recording::JournalDecoder decoder(collectInto(decoded.records));
    decoder.decode(bytes, true);
    decoded.header = decoder.header();
    decoded.report = decoder.report();
    return decoded;
}

inline DecodedJournal readJournalFile(const std::string& path) {
    DecodedJournal decoded;
    auto [header, report] = recording::readJournal(path, collectInto(decoded.records));
    decoded.header = header;
    decoded.report = report;
    return decoded;
}

// The journal of `records`; `recordEnds` gets the offset after each record.
inline std::string encodeJournal(const recording::JournalHeader& header,
                                 const std::vector<OwnedRecord>& records, int keyInterval,
                                 std::vector<std::size_t>* recordEnds = nullptr) {
    recording::JournalEncoder encoder(keyInterval);
    std::string bytes = recording::JournalEncoder::header(header);
    for (const OwnedRecord& r : records) {
        switch (r.kind) {
        case recording::JournalRecordKind::Reading:
            encoder.addReading(bytes, r.timeMs, r.value, r.unit, r.telegram);
            break;
        case recording::JournalRecordKind::PhaseReading:
            encoder.addPhaseReading(bytes, r.timeMs, r.value, r.telegram);
            break;
        case recording::JournalRecordKind::Status:
            encoder.addStatus(bytes, r.timeMs, r.telegram);
            break;
        case recording::JournalRecordKind::Disconnect:
            encoder.addDisconnect(bytes, r.timeMs);
            break;
        case recording::JournalRecordKind::Gap:
            encoder.addGap(bytes, {r.timeMs, r.gap.endMs, r.gap.cause, r.gap.lostTelegrams});
            break;
        }
        if (recordEnds) {
            recordEnds->push_back(bytes.size());
        }
    }
    return bytes;
}
