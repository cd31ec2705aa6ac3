// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace serial {

// Bytes of hand-overs the queue holds at most (each counts its text and its own size): about
// 400,000 of the counter's display telegrams, ten minutes and more of a line flooded at ten
// times its rate while the main thread takes none.
constexpr std::size_t kHandOverQueueBytes = std::size_t{32} << 20;

// One thing the receive thread tells the main thread.
struct HandOver {
    enum class Kind : std::uint8_t {
        Telegram,
        Silence,    // the time-out passed without a telegram
        DeviceLost, // the device went away under the open port
        Dropped,    // `dropped` telegrams found the queue full at this place in the stream
    };
    Kind kind = Kind::Telegram;
    std::string telegram;
    std::int64_t arrivalMs = 0; // telegrams: when the last byte was read
    std::uint64_t dropped = 0;
};

// The receive thread's hand-overs on their way to the main thread, in the order they happened.
// The receive thread puts and never waits for the main thread; the main thread takes them in
// batches. A telegram that finds the queue at its bound is dropped and counted, and the count
// comes out as a Dropped hand-over at its place in the stream once the queue has room again.
// Silences and a lost device are rare and always queued.
//
// Waking: a put answers true when the main thread has to be woken for it, which happens once
// until the main thread begins its next batch, so a burst costs one wake-up however long it is.
class HandOverQueue {
public:
    explicit HandOverQueue(std::size_t boundBytes = kHandOverQueueBytes);

    // Receive thread; each answers whether to wake the main thread.
    bool putTelegram(std::string telegram, std::int64_t arrivalMs);
    bool putSilence();
    bool putDeviceLost();

    // Main thread. From now on the next put wakes the main thread again.
    void beginBatch();
    // The oldest hand-over; once the queue has run empty after drops, their report.
    std::optional<HandOver> take();
    // Ends a batch that may have left hand-overs behind: true when the main thread has to wake
    // itself for them (no put has done so since the batch began).
    bool endBatch();
    // Forgets everything queued and dropped: nobody will take it any more.
    void clear();

private:
    bool putLocked(HandOver handOver);
    bool wakeLocked();

    std::mutex mutex_;
    std::deque<HandOver> queue_;
    std::size_t bytes_ = 0;
    const std::size_t boundBytes_;
    std::uint64_t dropped_ = 0;
    bool wakePending_ = false;
};

} // namespace serial
