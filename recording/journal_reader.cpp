// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/journal_reader.h"

#include "recording/byte_coding.h"
#include "recording/crc32c.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace recording {
namespace {

using namespace journal_kind_bits;

constexpr std::size_t kVersionEnd = 10;
constexpr std::size_t kChecksumBytes = 4;
constexpr std::size_t kMaxLengthBytes = 3;    // a varint of kJournalMaxPayload
constexpr std::size_t kMaxSequenceBytes = 10; // a varint of 64 bits
constexpr std::int64_t kLargestExactInteger = std::int64_t{1} << 53;
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
constexpr std::size_t kLongestHeader = kJournalHeaderFixedBytes + 0xFFFF + kChecksumBytes;

bool validKindByte(std::uint8_t kindByte, std::uint16_t version) {
    const auto kind = static_cast<JournalRecordKind>(kindByte & kKindMask);
    if ((kindByte & kReserved) != 0) {
        return false;
    }
    const std::uint8_t stored = kindByte & (kValueStored | kUnitStored);
    switch (kind) {
    case JournalRecordKind::Reading:
        return true;
    case JournalRecordKind::PhaseReading:
        return version >= 2 && stored == kValueStored;
    case JournalRecordKind::Status:
    case JournalRecordKind::Disconnect:
        return stored == 0;
    case JournalRecordKind::Gap:
        return version >= 2 && stored == 0;
    }
    return false;
}

// A gap's end, cause and count, the whole rest of its payload; false when they contradict the
// format or an end before the start.
bool readGap(std::string_view details, double startMs, Gap& gap) {
    constexpr std::size_t kEndBytes = 8;
    if (details.size() < kEndBytes + 1) {
        return false;
    }
    gap.startMs = startMs;
    gap.endMs = readF64(details.data());
    const auto cause = static_cast<GapCause>(details[kEndBytes]);
    if (cause != GapCause::Reconnect && cause != GapCause::LostTelegrams) {
        return false;
    }
    gap.cause = cause;
    std::size_t at = kEndBytes + 1;
    return readVarint(details, at, gap.lostTelegrams) && at == details.size() &&
           std::isfinite(gap.endMs) && gap.endMs >= startMs;
}

std::uint32_t checksumAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(readLittleEndian(bytes.data() + at, kChecksumBytes));
}

std::string count(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

} // namespace

std::string journalReportText(const JournalReport& report) {
    std::string text;
    switch (report.state) {
    case JournalFileState::Good:
        break;
    case JournalFileState::Empty:
        return "The journal is empty.";
    case JournalFileState::NotAJournal:
        return "The file is no measurement journal.";
    case JournalFileState::NewerVersion:
        return "The journal was written in format " + std::to_string(report.version) +
               " by a newer version of the program; this version reads format " +
               std::to_string(kJournalVersion) + " only.";
    case JournalFileState::HeaderDamaged:
        text = "The journal's header is damaged: its start time and port are unknown.";
        break;
    case JournalFileState::Unreadable:
        text = "The journal could not be read: " + report.error + '.';
        break;
    }
    const auto append = [&text](const std::string& sentence) {
        text += (text.empty() ? "" : " ") + sentence;
    };
    if (report.skippedRecords > 0) {
        append(count(report.skippedRecords, "damaged record was", "damaged records were") +
               " skipped, the first at byte " + std::to_string(*report.firstDamageOffset) + '.');
    }
    if (report.missingRecords > 0) {
        append(count(report.missingRecords, "record is", "records are") +
               " missing from the journal at byte " + std::to_string(*report.firstGapOffset) +
               " (cut out); the records after the gap that build on them were skipped.");
    }
    if (report.tornTailOffset) {
        append("The journal ends in an unfinished record at byte " +
               std::to_string(*report.tornTailOffset) + ", which was dropped.");
    }
    return text;
}

JournalDecoder::JournalDecoder(Visitor visitor) : visitor_(std::move(visitor)) {
    header_.startTime = std::numeric_limits<double>::quiet_NaN();
}

std::size_t JournalDecoder::decode(std::string_view bytes, bool atEnd) {
    std::size_t at = 0;
    if (stage_ == Stage::Header) {
        at = decodeHeader(bytes, atEnd);
    }
    while (stage_ == Stage::Records) {
        FrameView frame;
        switch (frameAt(bytes, at, atEnd, frame)) {
        case Frame::Good: {
            const bool afterDamage = endDamage();
            takeRecord(frame, offset_ + at, afterDamage);
            at += frame.size;
            break;
        }
        case Frame::Bad:
            beginDamage(offset_ + at);
            ++at;
            break;
        case Frame::NeedMore:
            offset_ += at;
            return at;
        case Frame::Unfinished:
            if (at < bytes.size()) {
                // Perhaps only its length is damaged: look for a good record further on.
                beginDamage(offset_ + at);
                ++at;
                break;
            }
            if (inDamage_) {
                report_.tornTailOffset = damageStart_;
            }
            stage_ = Stage::Done;
            break;
        }
    }
    offset_ += at;
    return at;
}

std::size_t JournalDecoder::refuse(JournalFileState state, std::size_t consumed) {
    report_.state = state;
    stage_ = Stage::Done;
    return consumed;
}

std::size_t JournalDecoder::decodeHeader(std::string_view bytes, bool atEnd) {
    const std::size_t magicBytes = std::min(bytes.size(), kJournalMagic.size());
    if (bytes.substr(0, magicBytes) != kJournalMagic.substr(0, magicBytes)) {
        return refuse(JournalFileState::NotAJournal, bytes.size());
    }
    if (bytes.size() >= kVersionEnd) {
        report_.version = static_cast<std::uint16_t>(readLittleEndian(bytes.data() + 8, 2));
        if (report_.version == 0) {
            return refuse(JournalFileState::NotAJournal, bytes.size());
        }
        if (report_.version > kJournalVersion) {
            return refuse(JournalFileState::NewerVersion, bytes.size());
        }
    }
    if (bytes.size() < kJournalHeaderFixedBytes) {
        if (!atEnd) {
            return 0;
        }
        if (bytes.empty()) {
            return refuse(JournalFileState::Empty, 0);
        }
        report_.tornTailOffset = 0;
        return refuse(JournalFileState::HeaderDamaged, bytes.size());
    }
    const std::size_t fieldsBytes = readLittleEndian(bytes.data() + 10, 2);
    const std::size_t total = kJournalHeaderFixedBytes + fieldsBytes + kChecksumBytes;
    if (bytes.size() < total && !atEnd) {
        return 0;
    }
    // A header cut short, or with a damaged length, fails here too.
    std::size_t at = 8;
    std::uint64_t portBytes = 0;
    std::uint64_t instrumentBytes = 0;
    std::size_t instrumentAt = 0;
    const std::string_view fields = bytes.substr(kJournalHeaderFixedBytes, fieldsBytes);
    const auto namedLast = [&](std::uint64_t length, std::size_t from) {
        return fields.size() - from == length;
    };
    const auto instrumentFollows = [&] {
        instrumentAt = at + static_cast<std::size_t>(portBytes);
        return report_.version < 2 || (readVarint(fields, instrumentAt, instrumentBytes) &&
                                       namedLast(instrumentBytes, instrumentAt));
    };
    const bool good = bytes.size() >= total &&
                      crc32c(bytes.substr(0, total - kChecksumBytes)) ==
                          checksumAt(bytes, total - kChecksumBytes) &&
                      fields.size() >= 8 && readVarint(fields, at, portBytes) &&
                      portBytes <= fields.size() - at &&
                      (report_.version < 2 ? namedLast(portBytes, at) : instrumentFollows());
    stage_ = Stage::Records;
    if (!good) {
        // The records need nothing from the header: look for them right after its fixed part.
        report_.state = JournalFileState::HeaderDamaged;
        beginDamage(0);
        return kJournalHeaderFixedBytes;
    }
    header_.startTime = readF64(fields.data());
    header_.port.assign(fields.substr(at, static_cast<std::size_t>(portBytes)));
    if (report_.version >= 2) {
        header_.instrument.assign(fields.substr(instrumentAt));
    }
    return total;
}

JournalDecoder::Frame JournalDecoder::frameAt(std::string_view bytes, std::size_t at, bool atEnd,
                                              FrameView& frame) const {
    const Frame unfinished = atEnd ? Frame::Unfinished : Frame::NeedMore;
    if (at >= bytes.size()) {
        return unfinished;
    }
    const auto kindByte = static_cast<std::uint8_t>(bytes[at]);
    if (!validKindByte(kindByte, report_.version)) {
        return Frame::Bad;
    }
    std::size_t payloadAt = at + 1;
    std::uint64_t sequence = 0;
    if (report_.version >= 2 && (kindByte & kKey) != 0) {
        if (!readVarint(bytes.substr(0, std::min(bytes.size(), payloadAt + kMaxSequenceBytes)),
                        payloadAt, sequence)) {
            return bytes.size() - payloadAt >= kMaxSequenceBytes ? Frame::Bad : unfinished;
        }
    } else if (report_.version >= 2) {
        if (payloadAt >= bytes.size()) {
            return unfinished;
        }
        // The nearest number from the next one on with these lowest bits.
        const auto low = static_cast<std::uint8_t>(bytes[payloadAt++]);
        sequence = nextSequence_ + static_cast<std::uint8_t>(low - nextSequence_);
    }
    std::uint64_t length = 0;
    const std::size_t lengthAt = payloadAt;
    if (!readVarint(bytes.substr(0, std::min(bytes.size(), payloadAt + kMaxLengthBytes)), payloadAt,
                    length)) {
        return bytes.size() - lengthAt >= kMaxLengthBytes ? Frame::Bad : unfinished;
    }
    if (length > kJournalMaxPayload) {
        return Frame::Bad;
    }
    const std::size_t end = payloadAt + length + kChecksumBytes;
    if (end > bytes.size()) {
        return unfinished;
    }
    const std::string_view framed = bytes.substr(at, end - kChecksumBytes - at);
    const std::uint32_t checksum =
        report_.version >= 2 ? journalRecordChecksum(sequence, framed) : crc32c(framed);
    if (checksum != checksumAt(bytes, end - kChecksumBytes)) {
        return Frame::Bad;
    }
    frame.kindByte = kindByte;
    frame.sequence = sequence;
    frame.payload = bytes.substr(payloadAt, length);
    frame.size = end - at;
    return Frame::Good;
}

void JournalDecoder::beginDamage(std::uint64_t offset) {
    if (!inDamage_) {
        inDamage_ = true;
        damageStart_ = offset;
        contextKnown_ = false;
    }
}

bool JournalDecoder::endDamage() {
    if (!inDamage_) {
        return false;
    }
    inDamage_ = false;
    ++report_.skippedRecords;
    if (!report_.firstDamageOffset) {
        report_.firstDamageOffset = damageStart_;
    }
    return true;
}

void JournalDecoder::skip(std::uint64_t offset) {
    ++report_.skippedRecords;
    if (!report_.firstDamageOffset) {
        report_.firstDamageOffset = offset;
    }
    contextKnown_ = false;
}

void JournalDecoder::takeRecord(const FrameView& frame, std::uint64_t offset, bool afterDamage) {
    const bool key = (frame.kindByte & kKey) != 0;
    if (report_.version >= 2 && frame.sequence < nextSequence_) {
        skip(offset); // a key record of a range read before: out of place
        return;
    }
    const bool builds = buildsOnTheRecordBefore(frame, offset, afterDamage);
    if ((!key && !builds) || !decodePayload(frame)) {
        skip(offset);
    } else if (report_.version >= 2) {
        lastDecoded_ = frame.sequence;
    }
}

// Whether the record before this one in the journal was decoded, so that a record that builds on
// it can be; from format 2 on it is the record with the sequence number before. Notes a gap.
bool JournalDecoder::buildsOnTheRecordBefore(const FrameView& frame, std::uint64_t offset,
                                             bool afterDamage) {
    if (report_.version < 2) {
        return contextKnown_;
    }
    // Records lost to damage are counted with the damage; a gap right after a good record is a
    // range cut out.
    if (frame.sequence > nextSequence_ && !afterDamage) {
        report_.missingRecords += frame.sequence - nextSequence_;
        if (!report_.firstGapOffset) {
            report_.firstGapOffset = offset;
        }
    }
    nextSequence_ = frame.sequence + 1;
    return lastDecoded_ && *lastDecoded_ + 1 == frame.sequence;
}

// Decodes one record whose checksum held and hands it out; false (nothing handed out) when its
// contents contradict the format or the records before.
bool JournalDecoder::decodePayload(const FrameView& frame) {
    const std::string_view payload = frame.payload;
    const std::uint8_t kindByte = frame.kindByte;
    const bool key = (kindByte & kKey) != 0;
    JournalRecord record;
    record.kind = static_cast<JournalRecordKind>(kindByte & kKindMask);
    std::size_t at = 0;
    std::optional<std::int64_t> wholeMs;
    if ((kindByte & kTimeStored) != 0) {
        if (payload.size() < 8) {
            return false;
        }
        record.timeMs = readF64(payload.data());
        wholeMs = journalWholeMs(record.timeMs);
        at = 8;
    } else {
        std::uint64_t coded = 0;
        if (!readVarint(payload, at, coded)) {
            return false;
        }
        const std::int64_t step = unzigzag(coded);
        if (!key && !previousWholeMs_) {
            return false;
        }
        const std::int64_t base = key ? 0 : *previousWholeMs_;
        if (step > 2 * kLargestExactInteger || step < -2 * kLargestExactInteger ||
            std::abs(base + step) > kLargestExactInteger) {
            return false;
        }
        wholeMs = base + step;
        record.timeMs = static_cast<double>(*wholeMs);
    }
    const bool empty =
        record.kind == JournalRecordKind::Disconnect || record.kind == JournalRecordKind::Gap;
    std::uint64_t prefix = 0;
    if (!key && !empty && (!readVarint(payload, at, prefix) || prefix > previousTelegram_.size())) {
        return false;
    }
    if (record.kind == JournalRecordKind::Gap) {
        if (!readGap(payload.substr(at), record.timeMs, record.gap)) {
            return false;
        }
        at = payload.size();
    }
    const bool valueStored = (kindByte & kValueStored) != 0;
    if (valueStored) {
        if (payload.size() - at < 8) {
            return false;
        }
        record.value = readF64(payload.data() + at);
        at += 8;
    }
    const bool unitStored = (kindByte & kUnitStored) != 0;
    if (unitStored) {
        std::uint64_t unitBytes = 0;
        if (!readVarint(payload, at, unitBytes) || unitBytes > payload.size() - at) {
            return false;
        }
        record.unit = payload.substr(at, unitBytes);
        at += unitBytes;
    }
    if (empty && at != payload.size()) {
        return false;
    }
    previousTelegram_.resize(prefix);
    previousTelegram_.append(payload.substr(at));
    record.telegram = previousTelegram_;
    if (record.kind == JournalRecordKind::PhaseReading) {
        record.unit = "s";
    }
    ImpliedReading implied;
    if (record.kind == JournalRecordKind::Reading && !(valueStored && unitStored)) {
        implied = impliedReading(record.telegram);
        if (!valueStored) {
            if (!implied.value) {
                return false;
            }
            record.value = *implied.value;
        }
        if (!unitStored) {
            record.unit = implied.unit;
        }
    }
    contextKnown_ = true;
    previousWholeMs_ = wholeMs;
    ++report_.records;
    if (record.kind == JournalRecordKind::Reading ||
        record.kind == JournalRecordKind::PhaseReading) {
        ++report_.readings;
    }
    report_.gaps += record.kind == JournalRecordKind::Gap ? 1 : 0;
    report_.disconnected = report_.disconnected || record.kind == JournalRecordKind::Disconnect;
    visitor_(record);
    return true;
}

JournalReadResult readJournal(const std::string& path, const JournalDecoder::Visitor& visitor,
                              const ReadProgress& progress) {
    JournalDecoder decoder(visitor);
    std::string error;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
    } else {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        struct stat status {};
        const std::uint64_t total =
            ::fstat(fd, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
        std::uint64_t done = 0;
        // One chunk plus what a chunk may leave over: an unfinished record or header.
        std::string buffer(kReadChunk + kLongestHeader, '\0');
        std::size_t held = 0;
        while (!decoder.finished()) {
            const ssize_t got = ::read(fd, buffer.data() + held, kReadChunk);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                error = std::strerror(errno);
            }
            held += static_cast<std::size_t>(std::max<ssize_t>(got, 0));
            done += static_cast<std::uint64_t>(std::max<ssize_t>(got, 0));
            const std::size_t consumed =
                decoder.decode(std::string_view(buffer.data(), held), got <= 0);
            std::memmove(buffer.data(), buffer.data() + consumed, held - consumed);
            held -= consumed;
            if (progress && !decoder.finished() && !progress(done, total)) {
                break;
            }
        }
        ::close(fd);
    }
    JournalReadResult result{decoder.header(), decoder.report()};
    if (!error.empty()) {
        result.report.state = JournalFileState::Unreadable;
        result.report.error = error;
    }
    return result;
}

} // namespace recording
