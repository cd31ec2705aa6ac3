// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <vector>

namespace app {
class StabilityPage;
}

namespace bench {

// The application of a bench that times the main thread's work for the "Stability" page: every
// event delivered to the page or one of its children, summed from one analysis started to the
// next (the refresh timer, the worker's result, the repaints of plots, table and caption).
class PageTimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    // The page whose events are timed from now on; none before.
    void timePage(const app::StabilityPage* page);
    // One sum per refresh, complete ones only.
    const std::vector<double>& perRefreshMs() const { return perRefreshMs_; }
    double longestEventMs() const { return longestEventMs_; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    const app::StabilityPage* page_ = nullptr;
    std::vector<double> perRefreshMs_;
    double longestEventMs_ = 0;
    int refreshes_ = 0;
    double currentMs_ = 0;
};

} // namespace bench
