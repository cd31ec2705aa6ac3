// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/event_wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace bench {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    // Wakes the loop to look again where nothing else would. processEvents() with a time limit
    // never sleeps, so the waiting is done by its form without one.
    constexpr int kLookMs = 20;
    QTimer look;
    look.start(kLookMs);
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (timeoutMs >= 0 && waited.elapsed() > timeoutMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace bench
