// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/page_timing.h"

#include "app/stability_page.h"

#include <algorithm>
#include <chrono>

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

} // namespace

void PageTimingApplication::timePage(const app::StabilityPage* page) {
    page_ = page;
    perRefreshMs_.clear();
    longestEventMs_ = 0;
    refreshes_ = 0;
    currentMs_ = 0;
}

bool PageTimingApplication::notify(QObject* receiver, QEvent* event) {
    if (page_ == nullptr || !within(receiver, page_)) {
        return QApplication::notify(receiver, event);
    }
    const int started = page_->analysesStarted();
    const auto start = std::chrono::steady_clock::now();
    const bool handled = QApplication::notify(receiver, event);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    longestEventMs_ = std::max(longestEventMs_, ms);
    if (page_->analysesStarted() != started) {
        // This event started the next refresh: what came before belongs to the last one.
        if (refreshes_ > 0) {
            perRefreshMs_.push_back(currentMs_);
        }
        ++refreshes_;
        currentMs_ = 0;
    }
    currentMs_ += ms;
    return handled;
}

} // namespace bench
