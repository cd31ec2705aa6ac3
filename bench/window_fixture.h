// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_window.h"
#include "bench/bench_options.h"
#include "counter/reading.h"

#include <QTemporaryDir>
#include <cstdint>

namespace bench {

// The main window as the benchmarks drive it: settings and journals in a folder of its own, a
// clock that moves one line period per reading, shown on the "Connect" page with trace 0 started
// as a successful connect leaves it. The application object must exist first.
class WindowFixture {
public:
    static constexpr std::int64_t kLinePeriodMs = 36;
    // While filling: the event loop once per this many readings.
    static constexpr long kReadingsPerTurn = 10'000;

    explicit WindowFixture(Signal signal);

    app::MainWindow& window() { return window_; }
    void showPage(QWidget& page);

    // The next reading of the signal, through the driver's signal as a telegram would come.
    void emitReading();
    // This reading instead.
    void emitReading(const counter::Reading& reading);
    // Readings until the log holds `count`, turning the event loop as it goes and at the end.
    void fillTo(long count);

private:
    QTemporaryDir folder_;
    std::int64_t nowMs_ = 0;
    app::MainWindow window_;
    SignalSource signal_;
    counter::Reading reading_;
};

} // namespace bench
