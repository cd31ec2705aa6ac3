// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/hand_over_queue.h"

namespace serial {

namespace {

std::size_t cost(const HandOver& handOver) {
    return sizeof(HandOver) + handOver.telegram.size();
}

// A hand-over without text.
HandOver Event(HandOver::Kind kind, std::uint64_t dropped = 0) {
    HandOver event;
    event.kind = kind;
    event.dropped = dropped;
    return event;
}

} // namespace

HandOverQueue::HandOverQueue(std::size_t boundBytes) : boundBytes_(boundBytes) {}

bool HandOverQueue::putTelegram(std::string telegram, std::int64_t arrivalMs) {
    std::lock_guard lock(mutex_);
    if (bytes_ + sizeof(HandOver) + telegram.size() > boundBytes_) {
        ++dropped_;
        return false; // the queue is not empty, so a wake-up is under way
    }
    return putLocked({.kind = HandOver::Kind::Telegram,
                      .telegram = std::move(telegram),
                      .arrivalMs = arrivalMs});
}

bool HandOverQueue::putSilence() {
    std::lock_guard lock(mutex_);
    return putLocked(Event(HandOver::Kind::Silence));
}

bool HandOverQueue::putDeviceLost() {
    std::lock_guard lock(mutex_);
    return putLocked(Event(HandOver::Kind::DeviceLost));
}

bool HandOverQueue::putLocked(HandOver handOver) {
    if (dropped_ > 0) {
        HandOver report = Event(HandOver::Kind::Dropped, dropped_);
        bytes_ += cost(report);
        queue_.push_back(std::move(report));
        dropped_ = 0;
    }
    bytes_ += cost(handOver);
    queue_.push_back(std::move(handOver));
    return wakeLocked();
}

bool HandOverQueue::wakeLocked() {
    if (wakePending_) {
        return false;
    }
    wakePending_ = true;
    return true;
}

void HandOverQueue::beginBatch() {
    std::lock_guard lock(mutex_);
    wakePending_ = false;
}

std::optional<HandOver> HandOverQueue::take() {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        if (dropped_ == 0) {
            return std::nullopt;
        }
        HandOver report = Event(HandOver::Kind::Dropped, dropped_);
        dropped_ = 0;
        return report;
    }
    HandOver next = std::move(queue_.front());
    queue_.pop_front();
    bytes_ -= cost(next);
    return next;
}

bool HandOverQueue::endBatch() {
    std::lock_guard lock(mutex_);
    return (!queue_.empty() || dropped_ > 0) && wakeLocked();
}

void HandOverQueue::clear() {
    std::lock_guard lock(mutex_);
    queue_.clear();
    bytes_ = 0;
    dropped_ = 0;
}

} // namespace serial
