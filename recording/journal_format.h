// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The recording journal: every reading and status telegram of a connection, appended as it comes,
// so that a crash or power cut loses at most the last second.
//
// Layout (integers little-endian; varint = unsigned LEB128, seven bits a byte, lowest first;
// zigzag = 0, -1, 1, -2 ... as 0, 1, 2, 3 ...; f64 = IEEE double; CRC = CRC-32C):
//
// Header
//   0    8  magic "TVKJOURN"
//   8    2  format version (2; this program also reads 1). Magic and version keep these places
//           in every version; a reader refuses a version newer than its own.
//   10   2  n, the length of the header fields
//   12   n  header fields: f64 connect date-time (days since 1899-12-30, local time);
//           varint length of the port name; the port name; from version 2 on, varint length of
//           the instrument's name and the name ("kelvo", "tic"; version 1 was the KELVO's)
//   12+n 4  CRC of the bytes before it
//
// Records follow to the end of the file, each framed and checksummed on its own:
//   1        kind byte
//   sequence from version 2 on: on a key record a varint, the record's sequence number (the
//            file's first record has 0, each record one more than the one before); on any other
//            record 1 byte, the lowest 8 bits of its sequence number
//   varint   payload length (at most kJournalMaxPayload)
//   payload
//   4        CRC of the kind byte, the length and the payload; from version 2 on, of the whole
//            sequence number as 8 bytes and then the kind byte, sequence, length and payload
//            (journalRecordChecksum)
// A record cut short by a crash fails its length or its CRC and is dropped; a damaged record is
// skipped, and so is each record after it up to the next key record, as they build on it.
// From version 2 on the sequence numbers also tell records that are missing (a range cut out)
// from records out of place (a range put in, repeated or moved): after a gap the records that
// would build on what is missing are skipped up to the next key record, and a record out of
// place fails its CRC or repeats a sequence number and is skipped, so no reading is ever read
// against a record that is not the one before it. A gap of 256 records or more, seen only at
// the next key record, counts as damage.
//
// Kind byte: bits 0-2 the record kind (1 reading, 2 status telegram, 3 disconnect, 4 phase
// reading: a time interval or time error in seconds, from version 2 on; 5 gap: a stretch without
// readings, from version 2 on); bit 3 key record; bit 4 value stored; bit 5 unit stored; bit 6
// time stored as f64; bit 7 zero. Bits 4 and 5 occur on readings only; a phase reading always
// stores its value and never a unit (it is "s"). The first
// record and every kJournalKeyInterval-th one after it are key records: they need nothing from the
// records before them.
//
// Payload, in this order:
//   time      bit 6: f64 milliseconds since the connect attempt. Otherwise the time is whole
//             milliseconds (not -0, at most 2^53 in size): on a key record zigzag varint of the
//             time itself, else zigzag varint of the difference to the time of the record before,
//             which was whole too.
//   prefix    readings of either kind and status telegrams that are no key record: varint count
//             of leading bytes this telegram shares with the telegram of the record before (of
//             any kind; a disconnect and a gap have an empty telegram).
//   value     bit 4: f64.
//   unit      bit 5: varint length, the unit text.
//   telegram  readings of either kind and status telegrams: the rest of the payload, the
//             telegram's bytes after the shared prefix.
//   gap       gaps, whose time is the gap's start: f64 its end in milliseconds since the connect
//             attempt; 1 byte why (1 a reconnect, 2 lost telegrams); varint how many telegrams
//             were lost (0: not known, and always for a reconnect). Nothing follows.
//
// A reading without bit 4 has the value the counter reads from its telegram, without bit 5 the
// unit (impliedReading): a 32-byte telegram beginning "av" is a display dump, its value the
// number in bytes 22-32 times the factor of the unit field in bytes 18-20 (GHz 1e9, MHz 1e6,
// kHz 1e3, " ms" 1e-3, " us" 1e-6, " ns" 1e-9, " ps" 1e-12, any other 1), its unit that field
// without blanks; any other telegram is a number in hertz, unit "Hz". The number: blanks around
// it and one "+" before it dropped, the rest read whole by std::from_chars ("." as the point),
// finite. These rules are part of version 1. So a Hertz-value telegram costs its changed digits
// and about eight bytes around them.

#include "recording/gap.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace recording {

inline constexpr std::string_view kJournalMagic = "TVKJOURN";
inline constexpr std::uint16_t kJournalVersion = 2;
inline constexpr std::size_t kJournalHeaderFixedBytes = 12;
inline constexpr std::size_t kJournalMaxPayload = 16384;
// Longer telegrams and units are stored cut to these lengths; the serial line delivers at most
// a few kilobytes a telegram.
inline constexpr std::size_t kJournalMaxTelegram = 16000;
inline constexpr std::size_t kJournalMaxUnit = 64;
inline constexpr int kJournalKeyInterval = 64;

namespace journal_kind_bits {
inline constexpr std::uint8_t kKindMask = 0x07;
inline constexpr std::uint8_t kKey = 0x08;
inline constexpr std::uint8_t kValueStored = 0x10;
inline constexpr std::uint8_t kUnitStored = 0x20;
inline constexpr std::uint8_t kTimeStored = 0x40;
inline constexpr std::uint8_t kReserved = 0x80;
} // namespace journal_kind_bits

enum class JournalRecordKind : std::uint8_t {
    Reading = 1,
    Status = 2,
    Disconnect = 3,
    PhaseReading = 4,
    Gap = 5
};

struct JournalHeader {
    double startTime = 0; // days since 1899-12-30, as the window's StartTime
    std::string port;
    std::string instrument = "kelvo"; // the profile's name
};

// One record as the reader hands it out; the texts point into the reader's buffers and are valid
// during the call only.
struct JournalRecord {
    JournalRecordKind kind = JournalRecordKind::Reading;
    double timeMs = 0;
    double value = 0;          // readings of either kind
    std::string_view unit;     // readings of either kind
    std::string_view telegram; // readings and status telegrams
    Gap gap;                   // gaps; gap.startMs is timeMs
};

// The CRC of a record of format 2 and later: over its sequence number, then its bytes from the
// kind byte to the end of the payload.
std::uint32_t journalRecordChecksum(std::uint64_t sequence, std::string_view frame);

// The time as whole milliseconds when it is one exactly (not -0, within 2^53): such times are
// stored as varints.
std::optional<std::int64_t> journalWholeMs(double timeMs);

// The value and unit the counter reads from a telegram, in the journal's fixed rules (above), so
// that a reading stores neither when they agree. No value when the number does not read.
struct ImpliedReading {
    std::optional<double> value;
    std::string unit;
};
ImpliedReading impliedReading(std::string_view telegram);

} // namespace recording
