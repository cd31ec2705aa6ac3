// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/receive_thread.h"

#include "platform/clock.h"
#include "platform/main_thread_hand_over.h"
#include "platform/serial_device.h"
#include "serial/receive_buffer.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <pthread.h>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace serial {

namespace {

// A read takes at most a full receive buffer from the device: a line without delimiter is never
// cut short by its own read.
constexpr std::size_t kReadLimit = serial::kReceiveBufferLimit;
// Handlers the main thread runs in one turn before it lets input and repaints have theirs.
constexpr auto kBatchBudget = std::chrono::milliseconds(8);
// The time of the last hand-over before the first one: an instant long past.
constexpr std::int64_t kLongAgo = std::numeric_limits<std::int64_t>::min() / 4;
// How long the first read of a port looks for bytes before the first expiry is absorbed: a
// telegram that comes in that time defers the first silence by a period.
constexpr std::int64_t kFirstReadMs = 81;

void lowerOwnPriorityOneStep() {
    const auto tid = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0) {
        ::setpriority(PRIO_PROCESS, tid, nice + 1);
    }
}

void deliver(const HandOverReceiver& receiver, const serial::HandOver& handOver) {
    using Kind = serial::HandOver::Kind;
    switch (handOver.kind) {
    case Kind::Telegram:
        if (receiver.telegram) {
            receiver.telegram(handOver.telegram, handOver.arrivalMs);
        }
        return;
    case Kind::Silence:
        if (receiver.silence) {
            receiver.silence();
        }
        return;
    case Kind::DeviceLost:
        if (receiver.deviceLost) {
            receiver.deviceLost();
        }
        return;
    case Kind::Dropped:
        if (receiver.dropped) {
            receiver.dropped(handOver.dropped);
        }
        return;
    }
}

void postBatch(const std::shared_ptr<ReceiveLink>& link);

// One batch on the main thread. Each hand-over is taken from the queue only when it is its turn,
// so a handler that runs a nested event loop (where the next batch may begin) keeps the order,
// and each holds the receiver for its call: a handler may close or delete the port. A batch that
// left work behind for lack of time goes on at the next turn; one that emptied the queue lets the
// next wait out the spacing.
void runBatch(const std::shared_ptr<ReceiveLink>& link) {
    const auto start = std::chrono::steady_clock::now();
    if (start < link->nextBatch) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(link->nextBatch - start);
        QTimer::singleShot(wait, QCoreApplication::instance(), [link] { runBatch(link); });
        return;
    }
    link->queue.beginBatch();
    const auto end = start + kBatchBudget;
    while (const auto receiver = link->receiver) {
        const auto handOver = link->queue.take();
        if (!handOver) {
            link->nextBatch = start + kBatchSpacing;
            return;
        }
        deliver(*receiver, *handOver);
        if (std::chrono::steady_clock::now() >= end) {
            break;
        }
    }
    link->nextBatch = {};
    if (link->receiver && link->queue.endBatch()) {
        postBatch(link);
    }
}

void postBatch(const std::shared_ptr<ReceiveLink>& link) {
    platform::postToMainThread([link] { runBatch(link); });
}

} // namespace

std::atomic<int> ReceiveThread::running_{0};

std::optional<std::int64_t> ReceiveLink::arrivalMs() {
    const std::lock_guard lock(clockMutex_);
    if (terminated) {
        return std::nullopt;
    }
    return arrivalClock_();
}

void ReceiveLink::terminate() {
    const std::lock_guard lock(clockMutex_);
    terminated = true;
    arrivalClock_ = nullptr;
}

bool ReceiveThread::start(std::shared_ptr<ReceiveLink> link,
                          std::shared_ptr<platform::SerialDevice> device, std::int32_t timeOutMs,
                          Delimiter delimiter) {
    const bool watchSilence = link->receiver && link->receiver->silence;
    std::optional<char> lineEnd = serial::lineEndOf(delimiter);
    if (lineEnd && !device->readWholeLines(*lineEnd)) {
        lineEnd.reset();
    }
    auto* poll = new ReceiveThread(std::move(link), std::move(device), watchSilence, timeOutMs,
                                   delimiter, lineEnd);
    try {
        std::thread([poll] {
            ::pthread_setname_np(::pthread_self(), "talvek-receive");
            lowerOwnPriorityOneStep();
            poll->execute();
            delete poll;
        }).detach();
    } catch (const std::system_error&) {
        delete poll; // out of threads or memory for a stack
        return false;
    }
    return true;
}

int ReceiveThread::running() {
    return running_.load();
}

ReceiveThread::ReceiveThread(std::shared_ptr<ReceiveLink> link,
                             std::shared_ptr<platform::SerialDevice> device, bool watchSilence,
                             std::int32_t timeOutMs, Delimiter delimiter,
                             std::optional<char> lineEnd)
    : link_(std::move(link)), device_(std::move(device)), watchSilence_(watchSilence),
      timeOut_(-static_cast<std::int64_t>(timeOutMs)), delimiter_(delimiter),
      delimiterText_(serial::delimiterText(delimiter)), lineEnd_(lineEnd) {
    ++running_;
}

ReceiveThread::~ReceiveThread() {
    --running_;
}

// The read returns as soon as bytes are in (on a line-wise device, once a line's last byte is
// in), so each telegram is stamped within a scheduling delay of its last byte, however busy the
// main thread is.
void ReceiveThread::execute() {
    std::int64_t lastHandOver = kLongAgo;
    std::string chunk(kReadLimit, '\0');
    while (!link_->terminated) {
        const int count =
            device_->read(chunk.data(), static_cast<int>(chunk.size()), readWaitMs(lastHandOver));
        const std::optional<std::int64_t> arrivalMs = link_->arrivalMs();
        if (!arrivalMs) {
            return; // stopped: nobody takes the bytes
        }
        if (count < 0) {
            // Gone (or failed for good): nothing more will come from it.
            if (!link_->terminated && link_->queue.putDeviceLost()) {
                wakeMainThread();
            }
            return;
        }
        if (lineEnd_ && count >= platform::SerialDevice::kLineLimit) {
            // The terminal kept only the line's beginning and its end: no telegram. Where that
            // end is not the telegram's, the telegram's own end is still to come.
            buffer_.clear();
            lineOverflowed_ = chunk[static_cast<std::size_t>(count) - 1] != *lineEnd_;
        } else {
            buffer_.append(chunk.data(), static_cast<std::size_t>(count));
            if (serial::boundReceiveBuffer(buffer_, delimiterText_)) {
                lineOverflowed_ = true;
            }
        }
        if (handOverTelegrams(*arrivalMs)) {
            lastHandOver = platform::monotonicMs();
        }
        watchForSilence(lastHandOver);
    }
}

int ReceiveThread::readWaitMs(std::int64_t lastHandOver) const {
    if (!watchSilence_) {
        return platform::SerialDevice::kWaitForBytes;
    }
    if (lastHandOver == kLongAgo) {
        return static_cast<int>(kFirstReadMs);
    }
    const std::int64_t due = lastHandOver + std::abs(timeOut_) + 1 - platform::monotonicMs();
    return static_cast<int>(std::clamp<std::int64_t>(due, 0, std::abs(timeOut_) + 1));
}

void ReceiveThread::watchForSilence(std::int64_t& lastHandOver) {
    if (!watchSilence_) {
        return;
    }
    const std::int64_t now = platform::monotonicMs();
    if (now - lastHandOver > std::abs(timeOut_)) {
        lastHandOver = now;
        if (timeOut_ < 0) {
            timeOut_ = -timeOut_;
        } else if (link_->queue.putSilence()) {
            wakeMainThread();
        }
    }
}

bool ReceiveThread::handOverTelegrams(std::int64_t arrivalMs) {
    std::vector<std::string> telegrams;
    if (delimiter_ == Delimiter::None) {
        if (!buffer_.empty()) {
            telegrams.push_back(std::move(buffer_));
            buffer_.clear();
        }
    } else {
        telegrams = serial::cutTelegrams(buffer_, delimiterText_);
        if (lineOverflowed_ && !telegrams.empty()) {
            lineOverflowed_ = false; // only the end of that line is left: not a telegram
            telegrams.erase(telegrams.begin());
        }
    }
    bool wake = false;
    for (std::string& telegram : telegrams) {
        wake = link_->queue.putTelegram(std::move(telegram), arrivalMs) || wake;
    }
    if (wake) {
        wakeMainThread();
    }
    return !telegrams.empty();
}

void ReceiveThread::wakeMainThread() {
    if (!link_->terminated) {
        postBatch(link_);
    }
}

} // namespace serial
