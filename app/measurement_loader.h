// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "graph/point_array.h"
#include "recording/measurement_loading.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class QObject;

namespace app {

// A measurement read back and made ready to show, every part of it off the main thread: the
// store of its readings and the graph's trace 0 over them, with its run summaries and its line
// broken at the gaps. (The Stability page forms its running sums on its own worker.)
struct PreparedMeasurement {
    recording::LoadedMeasurement loaded;
    graph::PointArray trace;
};

// Reads a measurement file into a store and prepares it, one at a time, on a thread of its own,
// so that the window answers meanwhile, and hands it to `finished` on the thread of `context`
// (the main thread) through its event loop. A read that is cancelled, or overtaken by the next
// one, hands nothing over. Destroying the loader cancels a running read and waits for it.
class MeasurementLoader {
public:
    using Finished = std::function<void(PreparedMeasurement)>;

    explicit MeasurementLoader(QObject* context);
    ~MeasurementLoader();
    MeasurementLoader(const MeasurementLoader&) = delete;
    MeasurementLoader& operator=(const MeasurementLoader&) = delete;

    // A journal only (recovery), or any measurement file the opener reads.
    enum class Kind { Journal, AnyMeasurement };
    void start(std::string path, Kind kind, Finished finished);
    void cancel();
    bool running() const { return running_; }
    // Of the running read: the share of its work done, 0 .. 1.
    double progress() const { return progress_.load(); }

private:
    void stop();

    QObject* context_;
    std::atomic<bool> cancel_{false};
    std::atomic<double> progress_{0};
    bool running_ = false;
    std::uint64_t generation_ = 0; // of the latest start; an older one's result is dropped
    Finished finished_;            // of the latest start
    // The result passes through it, so all the thread wrote is seen as done on the main thread.
    std::mutex handOver_;
    std::thread thread_;
};

} // namespace app
