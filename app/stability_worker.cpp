// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stability_worker.h"

#include "platform/clock.h"
#include "platform/main_thread_hand_over.h"

#include <QMetaObject>
#include <QObject>
#include <memory>

namespace app {

StabilityWorker::StabilityWorker(QObject* context, std::function<void(StabilityOutcome)> finished,
                                 std::function<void()> progressed, int progressEveryMs)
    : context_(context), finished_(std::move(finished)), progressed_(std::move(progressed)),
      progressEveryMs_(progressEveryMs) {}

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
    toldPercent_ = 0;
    nextTellMs_ = progressEveryMs_;
    running_ = true;
    clock_.start();
    thread_ = std::thread([this, analysis = std::move(analysis)] {
        const analysis::AnalysisControl control{&cancel_,
                                                [this](double done) { noteProgress(done); }};
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

void StabilityWorker::noteProgress(double done) {
    progress_ = done;
    if (!progressed_) {
        return;
    }
    const int percent = static_cast<int>(done * 100);
    const qint64 now = clock_.elapsed();
    qint64 due = nextTellMs_.load();
    if (percent == toldPercent_.load() || now < due ||
        !nextTellMs_.compare_exchange_strong(due, now + progressEveryMs_)) {
        return;
    }
    toldPercent_ = percent;
    // Told after its analysis has returned, there is nothing to show.
    platform::postToMainThread(context_, [this] {
        if (running_) {
            progressed_();
        }
    });
}

void StabilityWorker::cancel() {
    cancel_ = true;
}

} // namespace app
