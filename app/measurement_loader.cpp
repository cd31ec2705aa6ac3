// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measurement_loader.h"

#include "app/trace_builder.h"

#include <QMetaObject>
#include <QObject>
#include <memory>

namespace app {
namespace {

// The shares of the work: reading the file takes most of it, then the graph's run summaries that
// the trace builder has not taken in meanwhile (all of them for a file that is not a journal).
constexpr double kReadShare = 0.75;
constexpr double kTraceShare = 0.25;

} // namespace

MeasurementLoader::MeasurementLoader(QObject* context) : context_(context) {}

MeasurementLoader::~MeasurementLoader() {
    stop();
}

void MeasurementLoader::stop() {
    cancel_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void MeasurementLoader::cancel() {
    cancel_ = true;
    running_ = false;
    ++generation_;
}

void MeasurementLoader::start(std::string path, Kind kind, Finished finished) {
    stop();
    cancel_ = false;
    progress_ = 0;
    running_ = true;
    // Kept on the main thread, which alone calls it: the event queue's own locks are out of a
    // thread checker's sight.
    finished_ = std::move(finished);
    const std::uint64_t generation = ++generation_;
    thread_ = std::thread([this, path = std::move(path), kind, generation] {
        auto prepared = std::make_shared<PreparedMeasurement>();
        {
            const std::lock_guard<std::mutex> lock(handOver_);
            TraceBuilder builder(cancel_);
            const recording::LoadControl control{
                &cancel_, [this](double done) { progress_ = kReadShare * done; },
                [&builder](const recording::ReadingStore& store) {
                    builder.offer(
                        std::make_shared<const recording::ReadingTable>(store.snapshot()));
                }};
            prepared->loaded = kind == Kind::Journal ? recording::loadJournal(path, control)
                                                     : recording::loadMeasurement(path, control);
            prepared->trace = builder.finish(prepared->loaded.readings, [this](double done) {
                progress_ = kReadShare + kTraceShare * done;
            });
        }
        if (cancel_) {
            return;
        }
        // Dropped unrun if the context is gone, and the context outlives this loader.
        QMetaObject::invokeMethod(
            context_,
            [this, prepared, generation] {
                if (generation != generation_) {
                    return;
                }
                running_ = false;
                PreparedMeasurement taken;
                {
                    const std::lock_guard<std::mutex> lock(handOver_);
                    taken = std::move(*prepared);
                }
                finished_(std::move(taken));
            },
            Qt::QueuedConnection);
    });
}

} // namespace app
