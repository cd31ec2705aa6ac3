// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/private_files.h"
#include "recording/journal_encoder.h"
#include "recording/journal_format.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace recording {

// Appends a connection's readings, status telegrams and gaps to a journal file beside the caller:
// the append calls only queue (a copy of a few dozen bytes), a thread of its own encodes, writes
// and syncs them in batches, at the latest flushInterval after the first record of a batch. A
// failure (disk full, folder not writable, queue overrun by a stalled disk) ends the journal: it is
// reported once, later appends are dropped, and the caller goes on without it.
class JournalWriter {
public:
    struct Options {
        std::chrono::milliseconds flushInterval{500};
        std::size_t queueLimitBytes = std::size_t{16} << 20;
        int keyInterval = kJournalKeyInterval;
    };
    // Called once, on the writer's thread, with a message for the user.
    using FailureHandler = std::function<void(const std::string& message)>;

    // Writes the header and then the records into `file`, a new, empty file the caller made
    // (createJournalAt, JournalFolder::create); `path` names it in messages. The file is never
    // opened again by its name, so nothing put in its place meanwhile is written.
    JournalWriter(platform::UniqueFd file, std::string path, JournalHeader header,
                  FailureHandler onFailure = {});
    JournalWriter(platform::UniqueFd file, std::string path, JournalHeader header,
                  FailureHandler onFailure, Options options);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void appendReading(double timeMs, double value, std::string_view unit,
                       std::string_view telegram);
    void appendPhaseReading(double timeMs, double seconds, std::string_view telegram);
    void appendStatus(double timeMs, std::string_view telegram);
    void appendDisconnect(double timeMs);
    void appendGap(const Gap& gap);

    // Asks for what is queued to be written and synced now; does not wait for it.
    void flush();
    // Writes and syncs what is queued, closes the file and ends the thread; waits for that.
    // True when every record reached the disk.
    bool close();

    bool failed() const { return failed_.load(std::memory_order_acquire); }
    std::string failure() const;
    // Readings of either kind written whole into the file so far (each batch is synced; one that
    // failed part-way counts as far as the file took it); after a failure, all there will be.
    std::uint64_t readingsWritten() const {
        return readingsWritten_.load(std::memory_order_acquire);
    }

private:
    void enqueue(JournalRecordKind kind, double timeMs, double value, std::string_view unit,
                 std::string_view telegram);
    void fail(const std::string& message);
    void reportFailure();
    void run();
    bool writeHeader();
    // Encodes the queued records into `out`, noting where each reading ends.
    void encode(std::string_view queued, std::string& out);
    // `written`: how many of the bytes reached the file, also when it fails.
    bool writeAndSync(std::string_view bytes, std::size_t& written);

    const std::string path_;
    const JournalHeader header_;
    const FailureHandler onFailure_;
    const Options options_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_; // queued records, in the layout of enqueue()
    std::chrono::steady_clock::time_point firstPendingAt_;
    bool flushRequested_ = false;
    bool stop_ = false;
    std::string failure_;
    std::atomic<bool> failed_{false};
    std::atomic<std::uint64_t> readingsWritten_{0};

    // The writer thread's own.
    platform::UniqueFd file_;
    JournalEncoder encoder_;
    std::vector<std::size_t> readingEnds_; // in the encoded batch
    std::thread thread_;
};

} // namespace recording
