// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/journal_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace recording {

// Turns readings, status telegrams, gaps and the disconnect into journal records
// (journal_format.h), each appended to `out`. Records build on the one before, so one encoder
// writes one journal.
class JournalEncoder {
public:
    // `keyInterval`: every how many records one needs nothing from those before it.
    explicit JournalEncoder(int keyInterval = kJournalKeyInterval);

    static std::string header(const JournalHeader& header);

    void addReading(std::string& out, double timeMs, double value, std::string_view unit,
                    std::string_view telegram);
    void addPhaseReading(std::string& out, double timeMs, double seconds,
                         std::string_view telegram);
    void addStatus(std::string& out, double timeMs, std::string_view telegram);
    void addDisconnect(std::string& out, double timeMs);
    void addGap(std::string& out, const Gap& gap);

private:
    std::uint8_t addTimeAndPrefix(JournalRecordKind kind, double timeMs, std::string_view telegram,
                                  std::size_t& prefix);
    void finish(std::string& out, std::uint8_t kindByte, std::string_view telegram,
                std::size_t prefix);

    int keyInterval_;
    int sinceKey_ = 0;
    std::uint64_t sequence_ = 0; // of the next record
    std::optional<std::int64_t> previousWholeMs_;
    std::string previousTelegram_;
    std::string payload_;
};

} // namespace recording
