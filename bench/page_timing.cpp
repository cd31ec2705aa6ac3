// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/page_timing.h"

#include "app/stability_page.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace bench {
namespace {

bool within(const QObject* object, const QObject* page) {
    for (; object != nullptr; object = object->parent()) {
        if (object == page) {
            return true;
        }
    }
    return false;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace

void PageTimingApplication::timePage(const app::StabilityPage* page) {
    page_ = page;
    perRefreshMs_.clear();
    perRefreshCpuMs_.clear();
    longestEventMs_ = 0;
    refreshes_ = 0;
    currentMs_ = 0;
    currentCpuMs_ = 0;
}

bool PageTimingApplication::notify(QObject* receiver, QEvent* event) {
    if (page_ == nullptr || !within(receiver, page_)) {
        return QApplication::notify(receiver, event);
    }
    const int started = page_->analysesStarted();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuMs();
    const bool handled = QApplication::notify(receiver, event);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double cpuMs = threadCpuMs() - cpuStart;
    longestEventMs_ = std::max(longestEventMs_, ms);
    if (page_->analysesStarted() != started) {
        // This event started the next refresh: what came before belongs to the last one.
        if (refreshes_ > 0) {
            perRefreshMs_.push_back(currentMs_);
            perRefreshCpuMs_.push_back(currentCpuMs_);
        }
        ++refreshes_;
        currentMs_ = 0;
        currentCpuMs_ = 0;
    }
    currentMs_ += ms;
    currentCpuMs_ += cpuMs;
    return handled;
}

} // namespace bench
