// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <vector>

class QWidget;

namespace bench {

struct PaintTimings {
    std::vector<double> ms; // per run whose paint came: from the work to the handled paint
    // The same runs' processor time of the whole process (the waits for a paint the widget put
    // off cost none, the threads a picture is drawn on do).
    std::vector<double> processorMs;
    int missed = 0; // runs after which no paint came within the time-out
};

// `runs` times, `period` apart as readings come at line rate: `work()`, then the event loop
// until `widget`'s next paint event has been handled (its blit to the window included). Paced so,
// a graph that paints at most once per screen refresh paints every reading at once.
PaintTimings timeUntilPainted(QWidget& widget, int runs, std::chrono::milliseconds period,
                              const std::function<void()>& work);

} // namespace bench
