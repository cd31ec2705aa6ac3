// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/trace_builder.h"

#include <algorithm>

namespace app {

namespace {

// The filled store's last readings are taken in pieces this large, telling the progress between.
constexpr std::size_t kPiece = std::size_t{1} << 20;

} // namespace

TraceBuilder::TraceBuilder(const std::atomic<bool>& cancel)
    : cancel_(cancel),
      curve_(std::make_shared<StoreCurve>(std::make_shared<const recording::ReadingTable>())),
      trace_(curve_), thread_([this] { run(); }) {}

TraceBuilder::~TraceBuilder() {
    stop();
}

void TraceBuilder::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    offered_.notify_one();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TraceBuilder::offer(std::shared_ptr<const recording::ReadingTable> readings) {
    {
        const std::lock_guard lock(mutex_);
        next_ = std::move(readings);
    }
    offered_.notify_one();
}

void TraceBuilder::run() {
    for (;;) {
        std::shared_ptr<const recording::ReadingTable> readings;
        {
            std::unique_lock lock(mutex_);
            offered_.wait(lock, [this] { return next_ || stopping_; });
            if (stopping_) {
                return;
            }
            readings = std::move(next_);
        }
        curve_->read(readings);
        takeIn(readings->size());
    }
}

// Up to `count` readings of the table the curve reads, the line broken before each gap.
void TraceBuilder::takeIn(std::size_t count) {
    const std::vector<recording::PlacedGap>& gaps = curve_->readings().gaps();
    for (; gapsTaken_ < gaps.size() && gaps[gapsTaken_].beforeReading <= count && !cancel_;
         ++gapsTaken_) {
        trace_.follow(gaps[gapsTaken_].beforeReading);
        trace_.breakLine();
    }
    if (!cancel_) {
        trace_.follow(count);
    }
}

graph::PointArray TraceBuilder::finish(std::shared_ptr<const recording::ReadingTable> readings,
                                       const std::function<void(double)>& progress) {
    stop();
    curve_->read(readings);
    const std::size_t total = readings->size();
    for (std::size_t taken = trace_.size(); !cancel_ && taken < total;) {
        taken = std::min(total, taken + kPiece);
        takeIn(taken);
        progress(static_cast<double>(taken) / static_cast<double>(total));
    }
    takeIn(total); // a gap after the last reading
    return std::move(trace_);
}

} // namespace app
