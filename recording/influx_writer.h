// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/http_client.h"
#include "recording/influx_target.h"
#include "recording/journal_reader.h"
#include "recording/line_protocol.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace recording {

// Sends a recording's readings, replies and gaps to a time-series database, on a thread of its own
// that nothing waits for. It reads them from the recording's journal as the journal writer appends
// them, so the journal is the buffer: while the database is down or slow, the writer holds one
// batch and retries it with growing pauses, reading no further; when the database answers again
// it goes on from there, and no point is left out. A batch sent again after an answer that never
// came overwrites itself (InfluxPoints keys points by time stamp and tags). The journal writer
// syncs at least every half second and the writer looks every pollInterval, so a reading is sent
// within a second of its arrival while the database keeps up.
class InfluxWriter {
public:
    struct Options {
        std::chrono::milliseconds pollInterval{200};
        std::chrono::milliseconds requestTimeout{10000};
        std::chrono::milliseconds firstRetry{500};
        std::chrono::milliseconds longestRetry{8000};
        std::size_t batchPoints = 5000;
    };
    // Called on the writer's thread: once when the database stops taking the points (why), and
    // once when it takes them again.
    struct Reports {
        std::function<void(const std::string& why)> failing;
        std::function<void()> recovered;
    };

    InfluxWriter(InfluxTarget target, std::string journalPath, InfluxPoints points,
                 Reports reports);
    InfluxWriter(InfluxTarget target, std::string journalPath, InfluxPoints points, Reports reports,
                 Options options);
    // Ends the thread at once; what was not sent stays in the journal only.
    ~InfluxWriter();
    InfluxWriter(const InfluxWriter&) = delete;
    InfluxWriter& operator=(const InfluxWriter&) = delete;

    // The journal is closed: the writer sends what is left of it and ends.
    void finishJournal();
    // Waits up to `timeout` for the writer to end after finishJournal; true when everything
    // reached the database.
    bool waitSent(std::chrono::milliseconds timeout);
    // Readings the database has taken.
    std::uint64_t readingsSent() const { return readingsSent_.load(std::memory_order_relaxed); }

private:
    void run();
    bool stopped() const;
    // Reads on in the journal until the batch is full or the journal has no more for now.
    void fillFromJournal();
    void takeRecord(const JournalRecord& record);
    // Waits up to `span`, or until the writer is stopped or (with `untilFinish`) told that the
    // journal is closed; false when it is stopped.
    bool pause(std::chrono::milliseconds span, bool untilFinish);

    const InfluxTarget target_;
    const std::string journalPath_;
    const Reports reports_;
    const Options options_;
    InfluxPoints points_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool finishRequested_ = false;
    bool stopRequested_ = false;
    bool ended_ = false;
    bool allSent_ = false;
    std::atomic<std::uint64_t> readingsSent_{0};

    // The writer thread's own.
    int abortFd_ = -1;
    int journalFd_ = -1;
    JournalDecoder decoder_;
    std::string unread_; // bytes of the journal read but not yet decoded
    std::string batch_;
    std::size_t batchPoints_ = 0;
    std::uint64_t batchReadings_ = 0;
    std::thread thread_;
};

} // namespace recording
