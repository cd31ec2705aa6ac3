// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/journal_encoder.h"

#include "recording/byte_coding.h"
#include "recording/crc32c.h"

#include <algorithm>
#include <bit>

namespace recording {
namespace {

using namespace journal_kind_bits;

constexpr std::size_t kMaxPortName = 1024;

std::size_t sharedPrefix(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return i;
}

} // namespace

JournalEncoder::JournalEncoder(int keyInterval) : keyInterval_(std::max(1, keyInterval)) {}

std::string JournalEncoder::header(const JournalHeader& header) {
    const std::string_view port = std::string_view(header.port).substr(0, kMaxPortName);
    std::string fields;
    appendF64(fields, header.startTime);
    appendVarint(fields, port.size());
    fields += port;
    const std::string_view instrument = std::string_view(header.instrument).substr(0, kMaxPortName);
    appendVarint(fields, instrument.size());
    fields += instrument;
    std::string out(kJournalMagic);
    appendLittleEndian(out, kJournalVersion, 2);
    appendLittleEndian(out, fields.size(), 2);
    out += fields;
    appendLittleEndian(out, crc32c(out), 4);
    return out;
}

void JournalEncoder::addReading(std::string& out, double timeMs, double value,
                                std::string_view unit, std::string_view telegram) {
    telegram = telegram.substr(0, kJournalMaxTelegram);
    unit = unit.substr(0, kJournalMaxUnit);
    std::size_t prefix = 0;
    std::uint8_t kindByte = addTimeAndPrefix(JournalRecordKind::Reading, timeMs, telegram, prefix);
    const ImpliedReading implied = impliedReading(telegram);
    if (!implied.value ||
        std::bit_cast<std::uint64_t>(*implied.value) != std::bit_cast<std::uint64_t>(value)) {
        kindByte |= kValueStored;
        appendF64(payload_, value);
    }
    if (unit != implied.unit) {
        kindByte |= kUnitStored;
        appendVarint(payload_, unit.size());
        payload_ += unit;
    }
    finish(out, kindByte, telegram, prefix);
}

void JournalEncoder::addPhaseReading(std::string& out, double timeMs, double seconds,
                                     std::string_view telegram) {
    telegram = telegram.substr(0, kJournalMaxTelegram);
    std::size_t prefix = 0;
    const std::uint8_t kindByte =
        addTimeAndPrefix(JournalRecordKind::PhaseReading, timeMs, telegram, prefix) | kValueStored;
    appendF64(payload_, seconds);
    finish(out, kindByte, telegram, prefix);
}

void JournalEncoder::addStatus(std::string& out, double timeMs, std::string_view telegram) {
    telegram = telegram.substr(0, kJournalMaxTelegram);
    std::size_t prefix = 0;
    const std::uint8_t kindByte =
        addTimeAndPrefix(JournalRecordKind::Status, timeMs, telegram, prefix);
    finish(out, kindByte, telegram, prefix);
}

void JournalEncoder::addDisconnect(std::string& out, double timeMs) {
    std::size_t prefix = 0;
    const std::uint8_t kindByte =
        addTimeAndPrefix(JournalRecordKind::Disconnect, timeMs, {}, prefix);
    finish(out, kindByte, {}, prefix);
}

void JournalEncoder::addGap(std::string& out, const Gap& gap) {
    std::size_t prefix = 0;
    const std::uint8_t kindByte = addTimeAndPrefix(JournalRecordKind::Gap, gap.startMs, {}, prefix);
    appendF64(payload_, gap.endMs);
    payload_ += static_cast<char>(gap.cause);
    appendVarint(payload_, gap.cause == GapCause::LostTelegrams ? gap.lostTelegrams : 0);
    finish(out, kindByte, {}, prefix);
}

// Starts the payload with the time and, unless this is a key record, a disconnect or a gap, the
// shared prefix; returns the kind byte so far.
std::uint8_t JournalEncoder::addTimeAndPrefix(JournalRecordKind kind, double timeMs,
                                              std::string_view telegram, std::size_t& prefix) {
    payload_.clear();
    const bool key = sinceKey_ == 0;
    sinceKey_ = (sinceKey_ + 1) % keyInterval_;
    auto kindByte = static_cast<std::uint8_t>(kind);
    const std::optional<std::int64_t> whole = journalWholeMs(timeMs);
    if (key) {
        kindByte |= kKey;
    }
    if (whole && (key || previousWholeMs_)) {
        appendVarint(payload_, zigzag(key ? *whole : *whole - *previousWholeMs_));
    } else {
        kindByte |= kTimeStored;
        appendF64(payload_, timeMs);
    }
    previousWholeMs_ = whole;
    if (!key && kind != JournalRecordKind::Disconnect && kind != JournalRecordKind::Gap) {
        prefix = sharedPrefix(previousTelegram_, telegram);
        appendVarint(payload_, prefix);
    }
    return kindByte;
}

void JournalEncoder::finish(std::string& out, std::uint8_t kindByte, std::string_view telegram,
                            std::size_t prefix) {
    payload_ += telegram.substr(prefix);
    previousTelegram_.assign(telegram);
    const std::size_t start = out.size();
    out += static_cast<char>(kindByte);
    if ((kindByte & kKey) != 0) {
        appendVarint(out, sequence_);
    } else {
        out += static_cast<char>(sequence_ & 0xFF);
    }
    appendVarint(out, payload_.size());
    out += payload_;
    appendLittleEndian(out, journalRecordChecksum(sequence_, std::string_view(out).substr(start)),
                       4);
    ++sequence_;
}

} // namespace recording
