// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/paced_writer.h"

#include <algorithm>
#include <cmath>

namespace tools {

PacedWriter::PacedWriter(double bytesPerSecond) : usPerByte_(1e6 / bytesPerSecond) {}

void PacedWriter::enqueue(std::string bytes, std::int64_t pauseUs, int tag, std::string note) {
    if (!bytes.empty()) {
        backlog_ += bytes.size();
        queue_.push_back({std::move(bytes), pauseUs, tag, std::move(note)});
    }
}

std::int64_t PacedWriter::startOf(const Piece& piece, std::int64_t nowUs) const {
    return std::max(nowUs, lineFreeUs_ + piece.pauseUs);
}

std::vector<PacedWriter::Finished> PacedWriter::pump(std::int64_t nowUs, const LineWrite& write) {
    std::vector<Finished> finished;
    while (!queue_.empty()) {
        Piece& piece = queue_.front();
        if (!started_) {
            const std::int64_t start = startOf(piece, nowUs);
            if (start > nowUs) {
                break;
            }
            startUs_ = start;
            started_ = true;
            sent_ = 0;
        } else if (stalled_) {
            // The line was full; it goes on at its pace from now instead of catching up.
            startUs_ = nowUs - static_cast<std::int64_t>(static_cast<double>(sent_) * usPerByte_);
            stalled_ = false;
        }
        const auto elapsedBytes = static_cast<std::size_t>(
            std::floor(static_cast<double>(nowUs - startUs_) / usPerByte_));
        const std::size_t due = std::min(piece.bytes.size(), elapsedBytes + 1);
        if (due > sent_) {
            const long n = write(std::string_view(piece.bytes).substr(sent_, due - sent_));
            lastDropped_ = n < 0;
            stalled_ = n >= 0 && static_cast<std::size_t>(n) < due - sent_;
            sent_ += n < 0 ? due - sent_ : static_cast<std::size_t>(n);
        }
        if (sent_ < piece.bytes.size()) {
            break;
        }
        lineFreeUs_ = startUs_ + static_cast<std::int64_t>(std::ceil(
                                     static_cast<double>(piece.bytes.size()) * usPerByte_));
        backlog_ -= piece.bytes.size();
        sent_ = 0;
        finished.push_back({piece.tag, std::move(piece.note), !lastDropped_});
        queue_.pop_front();
        started_ = false;
    }
    return finished;
}

std::optional<std::int64_t> PacedWriter::nextDueUs(std::int64_t nowUs) const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    if (!started_) {
        return startOf(queue_.front(), nowUs);
    }
    return startUs_ + static_cast<std::int64_t>(std::ceil(static_cast<double>(sent_) * usPerByte_));
}

} // namespace tools
