// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/paint_timing.h"

#include "platform/clock.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <thread>

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPaintTimeoutMs = 2000;

// Notes that a paint event reached the widget; the widget handles it after the filter.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
        }
        return false;
    }
};

} // namespace

PaintTimings timeUntilPainted(QWidget& widget, int runs, std::chrono::milliseconds period,
                              const std::function<void()>& work) {
    PaintWatch watch;
    widget.installEventFilter(&watch);
    PaintTimings timings;
    auto next = Clock::now();
    for (int run = 0; run < runs; ++run) {
        QApplication::processEvents();
        std::this_thread::sleep_until(next);
        watch.painted = false;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(kPaintTimeoutMs);
        const auto start = Clock::now();
        const double startProcessorMs = platform::processorMs();
        work();
        while (!watch.painted && deadline.isActive()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const auto end = Clock::now();
        if (watch.painted) {
            timings.ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
            timings.processorMs.push_back(platform::processorMs() - startProcessorMs);
        } else {
            ++timings.missed;
        }
        next = std::max(next + period, end);
    }
    widget.removeEventFilter(&watch);
    return timings;
}

} // namespace bench
