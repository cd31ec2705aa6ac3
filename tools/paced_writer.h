// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// Sends queued pieces of bytes no faster than a serial line would: one byte every
// 1/bytesPerSecond, so the receiver sees them trickle in as from a UART.
class PacedWriter {
public:
    // Returns the number of bytes the line took (0 when it is full for now), or -1 when nobody
    // listens: those bytes are gone, as on a cable with no one at the other end.
    using LineWrite = std::function<long(std::string_view)>;

    struct Finished {
        int tag;
        std::string note;
        bool delivered; // its last byte reached a listener
    };

    explicit PacedWriter(double bytesPerSecond);

    // Queues a piece; it starts no earlier than `pauseUs` after the previous piece ended.
    void enqueue(std::string bytes, std::int64_t pauseUs = 0, int tag = 0, std::string note = {});
    // Writes every byte that is due at `nowUs`; returns the pieces finished by it.
    std::vector<Finished> pump(std::int64_t nowUs, const LineWrite& write);
    // When the next byte is due, or nothing when the queue is empty.
    std::optional<std::int64_t> nextDueUs(std::int64_t nowUs) const;
    bool empty() const { return queue_.empty(); }
    // Bytes queued and not yet sent.
    std::size_t backlog() const { return backlog_ - sent_; }

private:
    struct Piece {
        std::string bytes;
        std::int64_t pauseUs;
        int tag;
        std::string note;
    };

    std::int64_t startOf(const Piece& piece, std::int64_t nowUs) const;

    double usPerByte_;
    std::deque<Piece> queue_;
    bool started_ = false; // the front piece has begun
    std::int64_t startUs_ = 0;
    std::size_t sent_ = 0;
    bool lastDropped_ = false;
    bool stalled_ = false; // the line took fewer bytes than were due
    std::int64_t lineFreeUs_ = 0;
    std::size_t backlog_ = 0;
};

} // namespace tools
