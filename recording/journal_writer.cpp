// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/journal_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace recording {
namespace {

// A queued record: kind, time, value, unit length, telegram length, then unit and telegram. A
// gap's end goes in the value, its cause and count in the telegram's place (gapDetails).
struct QueuedHead {
    JournalRecordKind kind;
    double timeMs;
    double value;
    std::uint32_t unitBytes;
    std::uint32_t telegramBytes;
};

constexpr std::size_t kGapDetailBytes = 1 + sizeof(std::uint64_t);

std::string gapDetails(const Gap& gap) {
    std::string details(kGapDetailBytes, '\0');
    details[0] = static_cast<char>(gap.cause);
    std::memcpy(details.data() + 1, &gap.lostTelegrams, sizeof gap.lostTelegrams);
    return details;
}

Gap queuedGap(const QueuedHead& head, std::string_view details) {
    Gap gap{head.timeMs, head.value, static_cast<GapCause>(details[0]), 0};
    std::memcpy(&gap.lostTelegrams, details.data() + 1, sizeof gap.lostTelegrams);
    return gap;
}

} // namespace

JournalWriter::JournalWriter(platform::UniqueFd file, std::string path, JournalHeader header,
                             FailureHandler onFailure)
    : JournalWriter(std::move(file), std::move(path), std::move(header), std::move(onFailure),
                    Options()) {}

JournalWriter::JournalWriter(platform::UniqueFd file, std::string path, JournalHeader header,
                             FailureHandler onFailure, Options options)
    : path_(std::move(path)), header_(std::move(header)), onFailure_(std::move(onFailure)),
      options_(options), file_(std::move(file)), encoder_(options.keyInterval) {
    thread_ = std::thread([this] { run(); });
}

JournalWriter::~JournalWriter() {
    close();
}

void JournalWriter::appendReading(double timeMs, double value, std::string_view unit,
                                  std::string_view telegram) {
    enqueue(JournalRecordKind::Reading, timeMs, value, unit.substr(0, kJournalMaxUnit),
            telegram.substr(0, kJournalMaxTelegram));
}

void JournalWriter::appendPhaseReading(double timeMs, double seconds, std::string_view telegram) {
    enqueue(JournalRecordKind::PhaseReading, timeMs, seconds, {},
            telegram.substr(0, kJournalMaxTelegram));
}

void JournalWriter::appendStatus(double timeMs, std::string_view telegram) {
    enqueue(JournalRecordKind::Status, timeMs, 0, {}, telegram.substr(0, kJournalMaxTelegram));
}

void JournalWriter::appendDisconnect(double timeMs) {
    enqueue(JournalRecordKind::Disconnect, timeMs, 0, {}, {});
}

void JournalWriter::appendGap(const Gap& gap) {
    enqueue(JournalRecordKind::Gap, gap.startMs, gap.endMs, {}, gapDetails(gap));
}

void JournalWriter::enqueue(JournalRecordKind kind, double timeMs, double value,
                            std::string_view unit, std::string_view telegram) {
    if (failed()) {
        return;
    }
    const QueuedHead head{kind, timeMs, value, static_cast<std::uint32_t>(unit.size()),
                          static_cast<std::uint32_t>(telegram.size())};
    const std::size_t bytes = sizeof head + unit.size() + telegram.size();
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        if (stop_ || failed()) {
            return;
        }
        if (pending_.size() + bytes > options_.queueLimitBytes) {
            failure_ = "The measurement journal " + path_ +
                       " cannot keep up with the readings (the disk is too slow) and stops here.";
            failed_.store(true, std::memory_order_release);
        } else {
            wasEmpty = pending_.empty();
            if (wasEmpty) {
                firstPendingAt_ = std::chrono::steady_clock::now();
            }
            pending_.append(reinterpret_cast<const char*>(&head), sizeof head);
            pending_ += unit;
            pending_ += telegram;
        }
    }
    if (wasEmpty || failed()) {
        wake_.notify_one();
    }
}

void JournalWriter::flush() {
    {
        const std::lock_guard lock(mutex_);
        flushRequested_ = true;
    }
    wake_.notify_one();
}

bool JournalWriter::close() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
    return !failed();
}

std::string JournalWriter::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void JournalWriter::fail(const std::string& message) {
    const std::lock_guard lock(mutex_);
    if (!failed()) {
        failure_ = message;
        failed_.store(true, std::memory_order_release);
    }
}

void JournalWriter::run() {
    if (!writeHeader()) {
        reportFailure();
        return;
    }
    std::string batch;
    std::string encoded;
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock lock(mutex_);
            const auto urgent = [this] { return stop_ || flushRequested_ || failed(); };
            wake_.wait(lock, [&] { return urgent() || !pending_.empty(); });
            if (!urgent()) {
                wake_.wait_until(lock, firstPendingAt_ + options_.flushInterval, urgent);
            }
            batch.swap(pending_);
            pending_.clear();
            flushRequested_ = false;
            stopping = stop_;
        }
        bool written = true;
        if (!batch.empty()) {
            encoded.clear();
            readingEnds_.clear();
            encode(batch, encoded);
            std::size_t bytes = 0;
            written = writeAndSync(encoded, bytes);
            // Also after a failure part-way: the records written whole are in the file.
            const auto whole = std::upper_bound(readingEnds_.begin(), readingEnds_.end(), bytes);
            readingsWritten_.fetch_add(static_cast<std::uint64_t>(whole - readingEnds_.begin()),
                                       std::memory_order_release);
        }
        // After a queue overrun, what was queued before it is still written.
        if (stopping || !written || (failed() && batch.empty())) {
            break;
        }
    }
    if (::close(file_.release()) != 0) {
        fail("Cannot write the measurement journal " + path_ + ": " + std::strerror(errno));
    }
    reportFailure();
}

void JournalWriter::reportFailure() {
    if (failed() && onFailure_) {
        onFailure_(failure());
    }
}

bool JournalWriter::writeHeader() {
    std::size_t bytes = 0;
    if (!writeAndSync(JournalEncoder::header(header_), bytes)) {
        file_.reset();
        return false;
    }
    return true;
}

void JournalWriter::encode(std::string_view queued, std::string& out) {
    while (queued.size() >= sizeof(QueuedHead)) {
        QueuedHead head;
        std::memcpy(&head, queued.data(), sizeof head);
        queued.remove_prefix(sizeof head);
        const std::string_view unit = queued.substr(0, head.unitBytes);
        const std::string_view telegram = queued.substr(head.unitBytes, head.telegramBytes);
        queued.remove_prefix(head.unitBytes + head.telegramBytes);
        switch (head.kind) {
        case JournalRecordKind::Reading:
            encoder_.addReading(out, head.timeMs, head.value, unit, telegram);
            readingEnds_.push_back(out.size());
            break;
        case JournalRecordKind::PhaseReading:
            encoder_.addPhaseReading(out, head.timeMs, head.value, telegram);
            readingEnds_.push_back(out.size());
            break;
        case JournalRecordKind::Status:
            encoder_.addStatus(out, head.timeMs, telegram);
            break;
        case JournalRecordKind::Disconnect:
            encoder_.addDisconnect(out, head.timeMs);
            break;
        case JournalRecordKind::Gap:
            encoder_.addGap(out, queuedGap(head, telegram));
            break;
        }
    }
}

bool JournalWriter::writeAndSync(std::string_view bytes, std::size_t& written) {
    written = 0;
    while (!bytes.empty()) {
        const ssize_t done = ::write(file_.get(), bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0) {
            fail("Cannot write the measurement journal " + path_ + ": " + std::strerror(errno));
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
        written += static_cast<std::size_t>(done);
    }
    if (::fdatasync(file_.get()) != 0) {
        fail("Cannot write the measurement journal " + path_ + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace recording
