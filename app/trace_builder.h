// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/store_curve.h"
#include "graph/point_array.h"
#include "recording/reading_store.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace app {

// Builds the graph's trace over a store of readings on a thread of its own while another thread
// fills the store: it takes in the readings of each snapshot offered, its line broken at their
// gaps, so that once the store is full only its last readings are left to take in. On two cores
// the run summaries then cost the opener hardly any time of its own.
class TraceBuilder {
public:
    explicit TraceBuilder(const std::atomic<bool>& cancel);
    // Stops taking in and waits for the thread.
    ~TraceBuilder();
    TraceBuilder(const TraceBuilder&) = delete;
    TraceBuilder& operator=(const TraceBuilder&) = delete;

    // The readings so far: a snapshot nobody writes into. One not yet taken gives way to a newer.
    void offer(std::shared_ptr<const recording::ReadingTable> readings);
    // Waits for the thread, takes in the rest of the filled store on the calling thread (telling
    // `progress` the share of the readings taken in), and returns the trace, which reads the
    // store from now on.
    graph::PointArray finish(std::shared_ptr<const recording::ReadingTable> readings,
                             const std::function<void(double)>& progress);

private:
    void run();
    void takeIn(std::size_t count);
    void stop();

    const std::atomic<bool>& cancel_;
    std::shared_ptr<StoreCurve> curve_;
    graph::PointArray trace_;
    std::size_t gapsTaken_ = 0;
    std::mutex mutex_;
    std::condition_variable offered_;
    std::shared_ptr<const recording::ReadingTable> next_; // under mutex_
    bool stopping_ = false;                               // under mutex_
    std::thread thread_;
};

} // namespace app
