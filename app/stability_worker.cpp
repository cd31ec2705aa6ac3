// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_worker.h"

#include "platform/clock.h"

#include <QMetaObject>
#include <QObject>
#include <memory>

namespace app {

StabilityWorker::StabilityWorker(QObject* context, std::function<void(StabilityOutcome)> finished)
    : context_(context), finished_(std::move(finished)) {}

StabilityWorker::~StabilityWorker() {
    cancel_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void StabilityWorker::start(Analysis analysis) {
    if (thread_.joinable()) {
        thread_.join(); // the last one has handed its outcome over already
    }
    cancel_ = false;
    progress_ = 0;
    running_ = true;
    clock_.start();
    thread_ = std::thread([this, analysis = std::move(analysis)] {
        const analysis::AnalysisControl control{&cancel_,
                                                [this](double done) { progress_ = done; }};
        auto outcome = std::make_shared<StabilityOutcome>();
        {
            const std::lock_guard<std::mutex> lock(handOver_);
            const double startMs = platform::processorMs();
            *outcome = analysis(control);
            outcome->processorMs = platform::processorMs() - startMs;
        }
        // Dropped unrun if the context is gone, and the context outlives this worker.
        QMetaObject::invokeMethod(
            context_,
            [this, outcome]() mutable {
                StabilityOutcome taken;
                {
                    const std::lock_guard<std::mutex> lock(handOver_);
                    taken = std::move(*outcome);
                }
                running_ = false;
                finished_(std::move(taken));
            },
            Qt::QueuedConnection);
    });
}

void StabilityWorker::cancel() {
    cancel_ = true;
}

} // namespace app
