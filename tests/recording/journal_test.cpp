// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/display_dump.h"
#include "counter/telegram_text.h"
#include "tests/recording/journal_records.h"
#include "tools/oscillator.h"
#include "tools/telegram_format.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using recording::JournalFileState;
using Kind = recording::JournalRecordKind;
using recording::GapCause;

const recording::JournalHeader kHeader{45123.5, "COM20", "tic"};

OwnedRecord reading(double timeMs, double value, std::string unit, std::string telegram) {
    return {Kind::Reading, timeMs, value, std::move(unit), std::move(telegram)};
}

OwnedRecord status(double timeMs, std::string telegram) {
    return {Kind::Status, timeMs, 0, {}, std::move(telegram)};
}

const std::string kDump = "av F 1s     /1   MHz   10.000012";

// Readings whose value and unit follow from the telegram and readings where they do not, times
// that are no whole milliseconds, telegrams sharing nothing or everything with the one before.
std::vector<OwnedRecord> mixedRecords() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {
        reading(0, 10000000.12, "Hz", "10000000.12"),
        reading(1000, 10000000.13, "Hz", "10000000.13"),
        gapRecord(1000, 1999, GapCause::LostTelegrams, 3),
        reading(2000, 10000012, "MHz", kDump),
        reading(2000, 0.0015, "ms", "av P 1s     /1    ms       1.500"),
        reading(2999, 1.5, " Hz?", "av P 1s     /1    Hz       1.500"),
        status(3000, "kelvo FC-3000 firmware 2.1 serial 0042"),
        gapRecord(2500.5, 3000, GapCause::Reconnect, 0),
        reading(3001, -1, "Hz", "ERROR!"),
        reading(1e15, nan, "Hz", "nan"),
        reading(1234.5, 7, "kHz", "7"),
        reading(-0.0, 10000000.12, "Hz", "10000000.12"),
        reading(-250, 10000000.12, "Hz", "10000000.12"),
        status(-250, ""),
        reading(9007199254740993.0, 5e-324, "", std::string(20, '\0')),
        status(4000, std::string(200, 'x')),
        reading(4001, 10000000.14, "Hz", "10000000.14"),
        {Kind::PhaseReading, 4002, 123.456e-9, "s", "17.000000123456 chA"},
        {Kind::PhaseReading, 4003, -2.5e-9, "s", "-0.000000002500 TI(A->B)"},
        gapRecord(4003, 4003.5, GapCause::LostTelegrams, std::uint64_t{1} << 40),
        {Kind::Disconnect, 5000, 0, {}, {}},
    };
}

std::string withVersion(std::string bytes, std::uint16_t version) {
    bytes[8] = static_cast<char>(version & 0xFF);
    bytes[9] = static_cast<char>(version >> 8);
    return bytes;
}

TEST(Journal, RecordsReadBackBitForBit) {
    const std::vector<OwnedRecord> records = mixedRecords();
    for (const int keyInterval : {1, 3, 64}) {
        const DecodedJournal decoded = decodeJournal(encodeJournal(kHeader, records, keyInterval));
        EXPECT_EQ(decoded.records, records) << "key interval " << keyInterval;
        EXPECT_EQ(decoded.header.startTime, kHeader.startTime);
        EXPECT_EQ(decoded.header.port, kHeader.port);
        EXPECT_EQ(decoded.header.instrument, "tic");
        EXPECT_EQ(decoded.report.state, JournalFileState::Good);
        EXPECT_EQ(decoded.report.records, records.size());
        EXPECT_EQ(decoded.report.readings, 14u);
        EXPECT_EQ(decoded.report.gaps, 3u);
        EXPECT_TRUE(decoded.report.disconnected);
        EXPECT_EQ(recording::journalReportText(decoded.report), "");
    }
}

// Journals written by this version must read the same in every later one.
TEST(Journal, AJournalOfFormatVersionOneReads) {
    const std::string bytes("\x54\x56\x4b\x4a\x4f\x55\x52\x4e\x01\x00\x0e\x00\x00\x00\x00\x00"
                            "\xc4\x4d\xe6\x40\x05\x43\x4f\x4d\x32\x30\xf1\x90\x83\x69\x09\x0c"
                            "\x00\x31\x30\x30\x30\x30\x30\x30\x30\x2e\x31\x32\x25\x3b\x80\xf9"
                            "\x01\x04\xd0\x0f\x0a\x33\x79\x9d\x7e\x9d\x01\x23\xd0\x0f\x00\x61"
                            "\x76\x20\x46\x20\x31\x73\x20\x20\x20\x20\x20\x2f\x31\x20\x20\x20"
                            "\x4d\x48\x7a\x20\x20\x20\x31\x30\x2e\x30\x30\x30\x30\x31\x32\x57"
                            "\x94\x2b\x67\x4a\x15\x00\x00\x00\x00\x00\x89\xa3\x40\x6b\x65\x6c"
                            "\x76\x6f\x20\x46\x43\x2d\x33\x30\x30\x30\x27\x1e\xb4\xbc\x41\x29"
                            "\x00\x00\x00\x00\x00\x70\xa7\x40\x00\x61\x76\x20\x50\x20\x31\x73"
                            "\x20\x20\x20\x20\x20\x2f\x31\x20\x20\x20\x20\x6d\x73\x20\x20\x20"
                            "\x20\x20\x20\x20\x31\x2e\x35\x30\x30\xd8\xf4\x27\xf9\x11\x11\xd0"
                            "\x0f\x00\x00\x00\x00\x00\x00\x00\xf0\xbf\x45\x52\x52\x4f\x52\x21"
                            "\xbe\x91\xa9\x48\x0b\x02\x90\x4e\xf6\x5a\x6b\xba",
                            204);
    const DecodedJournal decoded = decodeJournal(bytes);
    const std::vector<OwnedRecord> expected = {
        reading(0, 10000000.12, "Hz", "10000000.12"),
        reading(1000, 10000000.13, "Hz", "10000000.13"),
        reading(2000, 10000012, "MHz", "av F 1s     /1   MHz   10.000012"),
        status(2500.5, "kelvo FC-3000"),
        reading(3000, 0.0015, "ms", "av P 1s     /1    ms       1.500"),
        reading(4000, -1, "Hz", "ERROR!"),
        {Kind::Disconnect, 5000, 0, {}, {}},
    };
    EXPECT_EQ(decoded.records, expected);
    EXPECT_EQ(decoded.header.startTime, 45678.125);
    EXPECT_EQ(decoded.header.port, "COM20");
    EXPECT_EQ(decoded.header.instrument, "kelvo") << "format 1 was the KELVO's";
    EXPECT_EQ(recording::journalReportText(decoded.report), "");
}

// A gap whose record is whole but whose contents make no sense is skipped like damage, and the
// records after it read as they would without it.
TEST(Journal, AGapThatContradictsItselfIsSkipped) {
    const struct {
        const char* what;
        OwnedRecord gap;
    } cases[] = {
        {"an end before the start", gapRecord(2000, 1999, GapCause::Reconnect, 0)},
        {"an end that is no number",
         gapRecord(2000, std::numeric_limits<double>::quiet_NaN(), GapCause::Reconnect, 0)},
        {"a cause of no known kind", gapRecord(2000, 3000, static_cast<GapCause>(3), 0)},
    };
    for (const auto& c : cases) {
        const std::vector<OwnedRecord> records{reading(1000, 10000000.12, "Hz", "10000000.12"),
                                               c.gap,
                                               reading(3000, 10000000.13, "Hz", "10000000.13")};
        const DecodedJournal decoded = decodeJournal(encodeJournal(kHeader, records, 64));
        EXPECT_EQ(decoded.records, std::vector<OwnedRecord>{records[0]}) << c.what;
        EXPECT_EQ(decoded.report.gaps, 0u) << c.what;
        EXPECT_EQ(decoded.report.skippedRecords, 2u) << c.what;
    }
}

TEST(Journal, OverlongTelegramsAreStoredCut) {
    const std::string telegram(recording::kJournalMaxTelegram + 5, '7');
    const DecodedJournal decoded = decodeJournal(encodeJournal(kHeader, {status(1, telegram)}, 64));
    ASSERT_EQ(decoded.records.size(), 1u);
    EXPECT_EQ(decoded.records[0].telegram, telegram.substr(0, recording::kJournalMaxTelegram));
}

// The counter's telegrams as the virtual counter sends them, with the value the driver makes of
// them, in every telegram format and mode at both gate times.
TEST(Journal, ReadingsOfTheCounterCostAtMost32BytesEach) {
    using tools::Quantity;
    using tools::TelegramFormat;
    for (const auto format : {TelegramFormat::Hertz, TelegramFormat::Dump}) {
        for (const auto mode : {Quantity::Frequency, Quantity::Period, Quantity::Offset}) {
            for (const double gate : {1.0, 0.1}) {
                tools::CounterState state;
                state.format = format;
                state.mode = mode;
                state.gateSeconds = gate;
                tools::Oscillator oscillator(11);
                std::vector<OwnedRecord> records;
                for (int i = 1; i <= 3000; ++i) {
                    const std::string telegram =
                        tools::formatReading(state, oscillator.measure(i * gate, gate, false),
                                             tools::Oscillator::kNominalHz)
                            .text;
                    const bool dump = counter::isDisplayDump(telegram);
                    const double value =
                        dump ? *counter::parseNumber(counter::dumpNumberField(telegram)) *
                                   counter::unitFieldFactor(counter::dumpUnitField(telegram))
                             : *counter::parseNumber(telegram);
                    const auto implied = recording::impliedReading(telegram).value;
                    ASSERT_TRUE(implied && std::bit_cast<std::uint64_t>(*implied) ==
                                               std::bit_cast<std::uint64_t>(value))
                        << telegram;
                    records.push_back(reading(
                        std::round(i * gate * 1000 + i % 7), value,
                        dump ? counter::removeSpaces(counter::dumpUnitField(telegram)) : "Hz",
                        telegram));
                }
                const std::string bytes = encodeJournal(kHeader, records, 64);
                const std::size_t header = recording::JournalEncoder::header(kHeader).size();
                const double perReading = static_cast<double>(bytes.size() - header) /
                                          static_cast<double>(records.size());
                SCOPED_TRACE(records.back().telegram);
                EXPECT_LE(perReading, 32.0);
                EXPECT_EQ(decodeJournal(bytes).records, records);
            }
        }
    }
}

TEST(Journal, CutAtEveryByteKeepsEveryRecordBeforeTheCut) {
    const std::vector<OwnedRecord> records = mixedRecords();
    std::vector<std::size_t> ends;
    const std::string bytes = encodeJournal(kHeader, records, 4, &ends);
    const std::size_t headerEnd = recording::JournalEncoder::header(kHeader).size();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const DecodedJournal decoded = decodeJournal(std::string_view(bytes).substr(0, cut));
        if (cut < headerEnd) {
            EXPECT_TRUE(decoded.records.empty());
            EXPECT_EQ(decoded.report.state,
                      cut == 0 ? JournalFileState::Empty : JournalFileState::HeaderDamaged);
            continue;
        }
        const auto whole = static_cast<std::size_t>(
            std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin());
        EXPECT_EQ(decoded.records,
                  std::vector<OwnedRecord>(records.begin(), records.begin() + whole));
        EXPECT_EQ(decoded.report.state, JournalFileState::Good);
        EXPECT_EQ(decoded.report.skippedRecords, 0u);
        const std::size_t recordStart = whole == 0 ? headerEnd : ends[whole - 1];
        if (cut == recordStart) {
            EXPECT_FALSE(decoded.report.tornTailOffset);
        } else {
            EXPECT_EQ(decoded.report.tornTailOffset, recordStart);
            EXPECT_NE(recording::journalReportText(decoded.report).find("unfinished"),
                      std::string::npos);
        }
    }
}

// A flipped bit costs its own record and those that build on it up to the next key record;
// everything else loads, and the damage is reported where it is.
TEST(Journal, FlippedBitCostsOnlyTheRecordsThatDependOnIt) {
    const std::vector<OwnedRecord> records = mixedRecords();
    constexpr int kKeyInterval = 4;
    std::vector<std::size_t> ends;
    const std::string bytes = encodeJournal(kHeader, records, kKeyInterval, &ends);
    const std::size_t headerEnd = recording::JournalEncoder::header(kHeader).size();
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << bit));
            const DecodedJournal decoded = decodeJournal(damaged);
            if (at < 10) {
                EXPECT_TRUE(decoded.records.empty());
                EXPECT_TRUE(decoded.report.state == JournalFileState::NotAJournal ||
                            decoded.report.state == JournalFileState::NewerVersion);
                continue;
            }
            if (at < headerEnd) {
                EXPECT_EQ(decoded.report.state, JournalFileState::HeaderDamaged);
                EXPECT_EQ(decoded.records, records);
                continue;
            }
            const auto hit = static_cast<std::size_t>(
                std::upper_bound(ends.begin(), ends.end(), at) - ends.begin());
            const std::size_t nextKey = (hit / kKeyInterval + 1) * kKeyInterval;
            std::vector<OwnedRecord> expected(records.begin(), records.begin() + hit);
            if (nextKey < records.size()) {
                expected.insert(expected.end(), records.begin() + nextKey, records.end());
            }
            EXPECT_EQ(decoded.records, expected);
            const std::size_t hitStart = hit == 0 ? headerEnd : ends[hit - 1];
            if (hit + 1 == records.size()) {
                EXPECT_EQ(decoded.report.tornTailOffset, hitStart);
            } else {
                EXPECT_EQ(decoded.report.firstDamageOffset, hitStart);
                EXPECT_EQ(decoded.report.skippedRecords, std::min(nextKey, records.size()) - hit);
                EXPECT_FALSE(decoded.report.tornTailOffset);
            }
        }
    }
}

// Records cut out, repeated or moved, each record's checksum whole: the gap or the misplaced
// records are told, and no reading after them is read against the wrong record before it.
TEST(Journal, RecordsCutOutOrOutOfPlaceAreToldAndNothingAfterThemIsMisread) {
    std::vector<OwnedRecord> records;
    for (int i = 0; i < 40; ++i) {
        const std::string telegram = "100000" + std::to_string(10 + i) + ".9";
        records.push_back(reading(100.0 * i + (i % 3), std::stod(telegram), "Hz", telegram));
    }
    std::vector<std::size_t> ends;
    const std::string bytes = encodeJournal(kHeader, records, 8, &ends);
    // The bytes of records [from, to).
    const auto part = [&](std::size_t from, std::size_t to) {
        return bytes.substr(ends[from - 1], ends[to - 1] - ends[from - 1]);
    };
    const auto indices = [&](std::initializer_list<std::pair<std::size_t, std::size_t>> ranges) {
        std::vector<OwnedRecord> kept;
        for (const auto& [from, to] : ranges) {
            kept.insert(kept.end(), records.begin() + from, records.begin() + to);
        }
        return kept;
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<OwnedRecord> expected;
        const char* told;
    };
    const Case cases[] = {
        {"a record cut out", bytes.substr(0, ends[10]) + part(12, 40), indices({{0, 11}, {16, 40}}),
         "1 record is missing"},
        {"a key record and the one before cut out", bytes.substr(0, ends[14]) + part(17, 40),
         indices({{0, 15}, {24, 40}}), "2 records are missing"},
        {"a range repeated", bytes.substr(0, ends[12]) + part(4, 7) + part(13, 40), records,
         "damaged record"},
        {"two records swapped",
         bytes.substr(0, ends[19]) + part(21, 22) + part(20, 21) + part(22, 40),
         indices({{0, 20}, {24, 40}}), "missing"},
    };
    for (const Case& c : cases) {
        const DecodedJournal decoded = decodeJournal(c.bytes);
        EXPECT_EQ(decoded.records, c.expected) << c.what;
        const std::string told = recording::journalReportText(decoded.report);
        EXPECT_NE(told.find(c.told), std::string::npos) << c.what << ": " << told;
    }
}

TEST(Journal, WhatIsNoJournalOfThisVersionIsRefused) {
    const std::string bytes = encodeJournal(kHeader, mixedRecords(), 64);
    struct Case {
        std::string bytes;
        JournalFileState state;
        const char* told;
    };
    const Case cases[] = {
        {withVersion(bytes, 3), JournalFileState::NewerVersion, "format 3 by a newer version"},
        {withVersion(bytes, 0xFFFF), JournalFileState::NewerVersion, "format 65535"},
        {withVersion(bytes, 0), JournalFileState::NotAJournal, "no measurement journal"},
        {"TVKJOURX" + bytes.substr(8), JournalFileState::NotAJournal, "no measurement journal"},
        {"/* KELVO counter data: t/ms, f/Hz\r\n", JournalFileState::NotAJournal, "no measurement"},
        {"", JournalFileState::Empty, "empty"},
    };
    for (const Case& c : cases) {
        const DecodedJournal decoded = decodeJournal(c.bytes);
        EXPECT_EQ(decoded.report.state, c.state) << c.told;
        EXPECT_TRUE(decoded.records.empty()) << c.told;
        EXPECT_NE(recording::journalReportText(decoded.report).find(c.told), std::string::npos)
            << recording::journalReportText(decoded.report);
    }
}

} // namespace
