// SPDX-License-Identifier: GPL-3.0-or-later
// The journal reader on arbitrary bytes taken as a journal file, and on the same bytes cut into
// records with good sequence numbers and checksums (a kind byte, a length byte, that many payload
// bytes each), so that payloads which contradict the format reach the decoder too. Read in pieces
// it must hand out what it hands out when read at once, with the same report; what it hands out
// must encode into a journal that reads back the same, without damage.

#include "recording/byte_coding.h"
#include "recording/journal_encoder.h"
#include "recording/journal_reader.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/recording/journal_records.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool sameReport(const recording::JournalReport& a, const recording::JournalReport& b) {
    return a.state == b.state && a.version == b.version && a.records == b.records &&
           a.readings == b.readings && a.skippedRecords == b.skippedRecords &&
           a.firstDamageOffset == b.firstDamageOffset && a.missingRecords == b.missingRecords &&
           a.firstGapOffset == b.firstGapOffset && a.tornTailOffset == b.tornTailOffset &&
           a.disconnected == b.disconnected;
}

// Pieces of 1 to 64 bytes, their lengths drawn from the input's size.
DecodedJournal decodeInPieces(std::string_view bytes) {
    DecodedJournal decoded;
    recording::JournalDecoder decoder(collectInto(decoded.records));
    std::uint32_t random = static_cast<std::uint32_t>(bytes.size()) * 2654435761u + 1;
    std::string held;
    for (std::size_t at = 0; at < bytes.size();) {
        random = random * 1664525u + 1013904223u;
        const std::size_t piece = std::min<std::size_t>(1 + (random >> 26), bytes.size() - at);
        held.append(bytes.substr(at, piece));
        at += piece;
        held.erase(0, decoder.decode(held, false));
    }
    decoder.decode(held, true);
    decoded.header = decoder.header();
    decoded.report = decoder.report();
    return decoded;
}

std::string framedRecords(std::string_view bytes) {
    std::string journal = recording::JournalEncoder::header({45000.5, "COM1"});
    std::uint64_t sequence = 0;
    for (std::size_t at = 0; at + 2 <= bytes.size(); ++sequence) {
        const auto length =
            std::min<std::size_t>(static_cast<std::uint8_t>(bytes[at + 1]), bytes.size() - at - 2);
        const std::size_t start = journal.size();
        journal += bytes[at];
        if ((bytes[at] & recording::journal_kind_bits::kKey) != 0) {
            recording::appendVarint(journal, sequence);
        } else {
            journal += static_cast<char>(sequence & 0xFF);
        }
        recording::appendVarint(journal, length);
        journal += bytes.substr(at + 2, length);
        recording::appendLittleEndian(
            journal,
            recording::journalRecordChecksum(sequence, std::string_view(journal).substr(start)), 4);
        at += 2 + length;
    }
    return journal;
}

void check(std::string_view bytes) {
    const DecodedJournal whole = decodeJournal(bytes);
    const recording::JournalReport& report = whole.report;

    FUZZ_CHECK(report.records == whole.records.size());
    std::uint64_t readings = 0;
    for (const OwnedRecord& r : whole.records) {
        readings += r.kind == recording::JournalRecordKind::Reading ||
                            r.kind == recording::JournalRecordKind::PhaseReading
                        ? 1
                        : 0;
    }
    FUZZ_CHECK(report.readings == readings);
    if (report.state != recording::JournalFileState::Good &&
        report.state != recording::JournalFileState::HeaderDamaged) {
        FUZZ_CHECK(whole.records.empty());
    }
    FUZZ_CHECK((report.skippedRecords > 0) == report.firstDamageOffset.has_value());
    FUZZ_CHECK((report.missingRecords > 0) == report.firstGapOffset.has_value());
    FUZZ_CHECK(!report.firstDamageOffset || *report.firstDamageOffset < bytes.size());
    FUZZ_CHECK(!report.tornTailOffset || *report.tornTailOffset < bytes.size());

    const DecodedJournal pieces = decodeInPieces(bytes);
    FUZZ_CHECK(pieces.records == whole.records);
    FUZZ_CHECK(sameReport(pieces.report, report));
    FUZZ_CHECK(pieces.header.port == whole.header.port);

    const DecodedJournal again =
        decodeJournal(encodeJournal(whole.header, whole.records, recording::kJournalKeyInterval));
    FUZZ_CHECK(again.report.state == recording::JournalFileState::Good);
    FUZZ_CHECK(recording::journalReportText(again.report).empty());
    FUZZ_CHECK(again.header.port == whole.header.port.substr(0, 1024));
    // Telegrams and units longer than a record keeps come back cut, as written.
    for (std::size_t i = 0; i < whole.records.size() && i < again.records.size(); ++i) {
        OwnedRecord expected = whole.records[i];
        expected.telegram.resize(
            std::min(expected.telegram.size(), recording::kJournalMaxTelegram));
        expected.unit.resize(std::min(expected.unit.size(), recording::kJournalMaxUnit));
        FUZZ_CHECK(again.records[i] == expected);
    }
    FUZZ_CHECK(again.records.size() == whole.records.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    check(framedRecords(bytes));
    return 0;
}
