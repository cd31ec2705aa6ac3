// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_worker.h"

#include <QMetaObject>
#include <QObject>

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
        StabilityOutcome outcome = analysis(control);
        // Dropped unrun if the context is gone, and the context outlives this worker.
        QMetaObject::invokeMethod(
            context_,
            [this, outcome = std::move(outcome)]() mutable {
                running_ = false;
                finished_(std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

void StabilityWorker::cancel() {
    cancel_ = true;
}

} // namespace app
