// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_window.h"
#include "bench/bench_options.h"
#include "counter/reading.h"
#include "tests/support/port_sandbox.h"
#include "tests/support/scripted_counter.h"

#include <cstdint>
#include <memory>

namespace bench {

// The main window as the benchmarks drive it: settings, journals and port links in a folder of
// its own, connected to a counter on a pseudo-terminal that answers its identification, so that
// the recording session runs and journals every reading; readings then come through the driver's
// signal, as telegrams would, stamped by a clock that moves one line period per reading. Shown on
// the "Connect" page. The application object must exist first.
class WindowFixture {
public:
    static constexpr std::int64_t kLinePeriodMs = 36;
    // While filling: the event loop once per this many readings.
    static constexpr long kReadingsPerTurn = 10'000;

    // `dialogs` answer the window's dialogs; the toolkit's own when null.
    explicit WindowFixture(Signal signal, std::shared_ptr<app::Dialogs> dialogs = nullptr);

    app::MainWindow& window() { return window_; }
    void showPage(QWidget& page);

    // The next reading of the signal, through the driver's signal as a telegram would come.
    void emitReading();
    // This reading instead.
    void emitReading(const counter::Reading& reading);
    // Readings until the log holds `count`, turning the event loop as it goes and at the end.
    void fillTo(long count);

private:
    talvek::test::PortSandbox sandbox_;
    talvek::test::ScriptedCounter counter_;
    std::int64_t nowMs_ = 0;
    app::MainWindow window_;
    SignalSource signal_;
    counter::Reading reading_;
};

} // namespace bench
