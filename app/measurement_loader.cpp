// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/measurement_loader.h"

#include "app/store_curve.h"

#include <QMetaObject>
#include <QObject>
#include <algorithm>
#include <memory>

namespace app {
namespace {

// The shares of the work: reading the file takes most of it, then the graph's run summaries.
constexpr double kReadShare = 0.75;
constexpr double kTraceShare = 0.25;
// The graph's trace takes the points in pieces this large, telling its progress between them.
constexpr std::size_t kTracePiece = std::size_t{1} << 20;

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
            const recording::LoadControl control{
                &cancel_, [this](double done) { progress_ = kReadShare * done; }};
            prepared->loaded = kind == Kind::Journal ? recording::loadJournal(path, control)
                                                     : recording::loadMeasurement(path, control);
            const std::shared_ptr<const recording::ReadingStore> readings =
                prepared->loaded.readings;
            graph::PointArray& trace = prepared->trace;
            trace = graph::PointArray(std::make_shared<StoreCurve>(readings));
            auto gap = readings->gaps().begin();
            for (std::size_t taken = 0; !cancel_ && taken < readings->size();) {
                const std::size_t piece = std::min(readings->size(), taken + kTracePiece);
                for (; gap != readings->gaps().end() && gap->beforeReading <= piece; ++gap) {
                    trace.follow(gap->beforeReading);
                    trace.breakLine();
                }
                trace.follow(piece);
                taken = piece;
                progress_ = kReadShare + kTraceShare * static_cast<double>(taken) /
                                             static_cast<double>(readings->size());
            }
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
