// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/journal_format.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace recording {

enum class JournalFileState {
    Good,
    Empty,         // no byte at all: the program ended before it wrote the header
    NotAJournal,   // wrong magic
    NewerVersion,  // refused: written in a format this program does not know
    HeaderDamaged, // cut or bad checksum: start time and port unknown, records still read
    Unreadable,    // the file could not be opened or read (see error)
};

struct JournalReport {
    JournalFileState state = JournalFileState::Good;
    std::uint16_t version = 0; // the file's format version, once its first ten bytes were read
    std::uint64_t records = 0; // handed out, of every kind
    std::uint64_t readings = 0;
    std::uint64_t gaps = 0;
    // Each damaged stretch counts once, and so does each intact record after it that builds on
    // what was lost (up to the next key record).
    std::uint64_t skippedRecords = 0;
    std::optional<std::uint64_t> firstDamageOffset;
    // Records the sequence numbers tell are not in the file (cut out), and where the first gap
    // is; from format 2 on.
    std::uint64_t missingRecords = 0;
    std::optional<std::uint64_t> firstGapOffset;
    // Where a last record that was never finished (or damage that runs to the end) begins.
    std::optional<std::uint64_t> tornTailOffset;
    bool disconnected = false; // the journal holds the disconnect
    std::string error;
};

// What the report means for the user, in a sentence or two; empty for a journal read whole.
std::string journalReportText(const JournalReport& report);

// Reads a journal from its bytes, given in pieces as they are read. Records are handed to the
// visitor in file order; a damaged or unfinished record never is.
class JournalDecoder {
public:
    using Visitor = std::function<void(const JournalRecord&)>;

    explicit JournalDecoder(Visitor visitor);

    // `bytes` continue the file after the bytes consumed so far. Decodes what it can and returns
    // how many bytes it consumed; the rest (at most the longest record or header) must be given
    // again, followed by more of the file. `atEnd`: the file ends after `bytes`.
    std::size_t decode(std::string_view bytes, bool atEnd);
    // Nothing more to read: the end was decoded or the file was refused.
    bool finished() const { return stage_ == Stage::Done; }

    const JournalHeader& header() const { return header_; }
    const JournalReport& report() const { return report_; }

private:
    enum class Stage { Header, Records, Done };
    enum class Frame { Good, Bad, NeedMore, Unfinished };
    struct FrameView {
        std::uint8_t kindByte = 0;
        std::uint64_t sequence = 0; // from format 2 on
        std::string_view payload;
        std::size_t size = 0;
    };

    std::size_t decodeHeader(std::string_view bytes, bool atEnd);
    std::size_t refuse(JournalFileState state, std::size_t consumed);
    Frame frameAt(std::string_view bytes, std::size_t at, bool atEnd, FrameView& frame) const;
    void takeRecord(const FrameView& frame, std::uint64_t offset, bool afterDamage);
    bool buildsOnTheRecordBefore(const FrameView& frame, std::uint64_t offset, bool afterDamage);
    bool decodePayload(const FrameView& frame);
    void beginDamage(std::uint64_t offset);
    // True when a damaged stretch ended here.
    bool endDamage();
    void skip(std::uint64_t offset);

    Visitor visitor_;
    Stage stage_ = Stage::Header;
    JournalHeader header_;
    JournalReport report_;
    std::uint64_t offset_ = 0; // file offset of the bytes of the next call
    bool inDamage_ = false;
    std::uint64_t damageStart_ = 0;
    bool contextKnown_ = false; // the record before was read: a record that builds on it can be
    // Format 2 on: the sequence number the next record should have, and that of the last record
    // decoded.
    std::uint64_t nextSequence_ = 0;
    std::optional<std::uint64_t> lastDecoded_;
    std::optional<std::int64_t> previousWholeMs_;
    std::string previousTelegram_;
};

struct JournalReadResult {
    JournalHeader header;
    JournalReport report;
};

// Told after each piece of a file read how many of its bytes were read so far and how many it
// has; false ends the reading there.
using ReadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads the journal file at `path` from start to end, handing each good record to `visitor`.
JournalReadResult readJournal(const std::string& path, const JournalDecoder::Visitor& visitor,
                              const ReadProgress& progress = {});

} // namespace recording
