// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/journal_encoder.h"
#include "recording/journal_format.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace recording {

// Appends a connection's readings and status telegrams to a journal file beside the caller: the
// append calls only queue (a copy of a few dozen bytes), a thread of its own encodes, writes and
// syncs them in batches, at the latest flushInterval after the first record of a batch.
// A failure (disk full, folder not writable, queue overrun by a stalled disk) ends the journal:
// it is reported once, later appends are dropped, and the caller goes on without it.
class JournalWriter {
public:
    struct Options {
        std::chrono::milliseconds flushInterval{500};
        std::size_t queueLimitBytes = std::size_t{16} << 20;
        int keyInterval = kJournalKeyInterval;
    };
    // Called once, on the writer's thread, with a message for the user.
    using FailureHandler = std::function<void(const std::string& message)>;

    // Creates the file at `path` (replacing a file of that name) and writes the header, both on
    // the writer's thread.
    JournalWriter(std::string path, JournalHeader header, FailureHandler onFailure = {});
    JournalWriter(std::string path, JournalHeader header, FailureHandler onFailure,
                  Options options);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void appendReading(double timeMs, double value, std::string_view unit,
                       std::string_view telegram);
    void appendPhaseReading(double timeMs, double seconds, std::string_view telegram);
    void appendStatus(double timeMs, std::string_view telegram);
    void appendDisconnect(double timeMs);

    // Asks for what is queued to be written and synced now; does not wait for it.
    void flush();
    // Writes and syncs what is queued, closes the file and ends the thread; waits for that.
    // True when every record reached the disk.
    bool close();

    bool failed() const { return failed_.load(std::memory_order_acquire); }
    std::string failure() const;

private:
    void enqueue(JournalRecordKind kind, double timeMs, double value, std::string_view unit,
                 std::string_view telegram);
    void fail(const std::string& message);
    void reportFailure();
    void run();
    bool openFile();
    void encode(std::string_view queued, std::string& out);
    bool writeAndSync(std::string_view bytes);

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

    // The writer thread's own.
    int fd_ = -1;
    JournalEncoder encoder_;
    std::thread thread_;
};

} // namespace recording
