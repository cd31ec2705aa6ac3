// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/influx_writer.h"

#include "recording/influx_check.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace recording {
namespace {

constexpr std::size_t kReadChunk = 16 * 1024;

// The journal keeps a reading's unit as the counter showed it: hertz for frequencies, a time
// unit for periods.
counter::Quantity quantityOf(const JournalRecord& record) {
    if (record.kind == JournalRecordKind::PhaseReading) {
        return counter::Quantity::Phase;
    }
    return record.unit.ends_with("Hz") ? counter::Quantity::Frequency : counter::Quantity::Period;
}

} // namespace

InfluxWriter::InfluxWriter(InfluxTarget target, std::string journalPath, InfluxPoints points,
                           Reports reports)
    : InfluxWriter(std::move(target), std::move(journalPath), std::move(points), std::move(reports),
                   Options()) {}

InfluxWriter::InfluxWriter(InfluxTarget target, std::string journalPath, InfluxPoints points,
                           Reports reports, Options options)
    : target_(std::move(target)), journalPath_(std::move(journalPath)),
      reports_(std::move(reports)), options_(options), points_(std::move(points)),
      abortFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      decoder_([this](const JournalRecord& record) { takeRecord(record); }) {
    thread_ = std::thread([this] { run(); });
}

InfluxWriter::~InfluxWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(abortFd_, &one, sizeof one);
    thread_.join();
    ::close(abortFd_);
}

void InfluxWriter::finishJournal() {
    {
        const std::lock_guard lock(mutex_);
        finishRequested_ = true;
    }
    wake_.notify_all();
}

bool InfluxWriter::waitSent(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, timeout, [this] { return ended_; });
    return allSent_;
}

bool InfluxWriter::pause(std::chrono::milliseconds span, bool untilFinish) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, span, [&] { return stopRequested_ || (untilFinish && finishRequested_); });
    return !stopRequested_;
}

bool InfluxWriter::stopped() const {
    const std::lock_guard lock(mutex_);
    return stopRequested_;
}

void InfluxWriter::takeRecord(const JournalRecord& record) {
    switch (record.kind) {
    case JournalRecordKind::Reading:
    case JournalRecordKind::PhaseReading:
        points_.addReading(batch_, record.timeMs, record.value, quantityOf(record));
        ++batchReadings_;
        break;
    case JournalRecordKind::Status:
        points_.addStatus(batch_, record.timeMs, record.telegram);
        break;
    case JournalRecordKind::Gap:
        points_.addGap(batch_, record.timeMs, (record.gap.endMs - record.gap.startMs) / 1000);
        break;
    case JournalRecordKind::Disconnect:
        return;
    }
    ++batchPoints_;
}

void InfluxWriter::fillFromJournal() {
    char chunk[kReadChunk];
    while (batchPoints_ < options_.batchPoints && !decoder_.finished()) {
        // Closed before this read: what it finds at the end is the end.
        bool closed;
        {
            const std::lock_guard lock(mutex_);
            closed = finishRequested_;
        }
        const ssize_t got = ::read(journalFd_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got > 0) {
            unread_.append(chunk, static_cast<std::size_t>(got));
        }
        const bool atEnd = got <= 0 && closed;
        unread_.erase(0, decoder_.decode(unread_, atEnd));
        if (got <= 0) {
            return;
        }
    }
}

void InfluxWriter::run() {
    journalFd_ = ::open(journalPath_.c_str(), O_RDONLY | O_CLOEXEC);
    HttpClient client(target_.host, target_.port, abortFd_);
    bool failing = false;
    std::chrono::milliseconds retry = options_.firstRetry;
    if (journalFd_ < 0 && reports_.failing) {
        reports_.failing("cannot read the journal " + journalPath_ + ": " + std::strerror(errno));
    }
    while (journalFd_ >= 0) {
        if (stopped()) {
            break;
        }
        // A batch that was not taken goes again as it is.
        if (batchPoints_ == 0) {
            fillFromJournal();
        }
        if (batchPoints_ == 0) {
            if (decoder_.finished()) {
                const std::lock_guard lock(mutex_);
                allSent_ = true;
                break;
            }
            if (!pause(options_.pollInterval, true)) {
                break;
            }
            continue;
        }
        const InfluxAnswer answer = judgeInfluxAnswer(client.request(
            "POST", target_.writePath, target_.headers, batch_, options_.requestTimeout));
        if (stopped()) {
            break; // the request was cut short
        }
        if (answer.verdict == InfluxVerdict::Taken) {
            readingsSent_.fetch_add(batchReadings_, std::memory_order_relaxed);
            batch_.clear();
            batchPoints_ = 0;
            batchReadings_ = 0;
            retry = options_.firstRetry;
            if (std::exchange(failing, false) && reports_.recovered) {
                reports_.recovered();
            }
            continue;
        }
        if (!std::exchange(failing, true) && reports_.failing) {
            reports_.failing(answer.why);
        }
        if (!pause(retry, false)) {
            break;
        }
        retry = std::min(retry * 2, options_.longestRetry);
    }
    if (journalFd_ >= 0) {
        ::close(journalFd_);
    }
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    wake_.notify_all();
}

} // namespace recording
