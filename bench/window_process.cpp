// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window in a process of its own, for whole_program_bench, which reads its processor
// time and memory from /proc: as the program entry runs it, with the settings folder given, and
// Connect pressed once the window shows, on a counter that is not measuring yet. Then a day of
// readings is handed to the window through the driver, as if the line had brought it since the
// connect (one line period apart, or in floods), the window's clock moves past that day, and
// "Measure continuous" starts the live line. It prints "ready <readings>" and shows the "Connect"
// page; each SIGUSR1 turns to the next of the "Graph" and "Stability" pages.
// Usage: bench_window_process <settings folder> <readings of the day> even|flooded

#include "app/connect_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "app/stability_page.h"
#include "bench/bench_options.h"
#include "bench/event_wait.h"
#include "bench/scripted_dialogs.h"
#include "counter/driver.h"
#include "counter/instrument.h"
#include "platform/clock.h"
#include "recording/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTabWidget>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr std::int64_t kLinePeriodMs = 36;
constexpr long kReadingsPerTurn = 10'000;

// The signal handler's byte reaches the event loop through this pipe, so the window wakes for
// the signal alone and no timer of the bench adds to what is measured.
int pageSignalPipe[2] = {-1, -1};

void askForNextPage(int) {
    const char one = 1;
    [[maybe_unused]] const ssize_t written = ::write(pageSignalPipe[1], &one, 1);
}

// The day's arrival times after `startMs`: every line period, or in floods of 1 to 40 readings
// 0 or 1 ms apart, each flood as long after the one before as its readings take at line rate.
class DayClock {
public:
    DayClock(std::int64_t startMs, bool flooded) : flooded_(flooded), nowMs_(startMs) {
        floodStartMs_ = startMs;
    }
    std::int64_t next() {
        if (!flooded_) {
            return nowMs_ += kLinePeriodMs;
        }
        if (leftInFlood_ == 0) {
            leftInFlood_ = std::uniform_int_distribution<int>(1, 40)(random_);
            floodStartMs_ += kLinePeriodMs * leftInFlood_;
            nowMs_ = floodStartMs_;
        }
        --leftInFlood_;
        return nowMs_ += std::uniform_int_distribution<int>(0, 1)(random_);
    }

private:
    bool flooded_;
    std::mt19937 random_{17};
    std::int64_t nowMs_;
    std::int64_t floodStartMs_;
    int leftInFlood_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4) {
        return 2;
    }
    const long dayReadings = std::atol(argv[2]);
    const bool flooded = std::string(argv[3]) == "flooded";
    // The clock the window reads, moved on past the day once it is in the window.
    static std::atomic<std::int64_t> clockOffsetMs{0};
    app::WindowEnvironment environment;
    environment.settingsFolder = argv[1];
    environment.dialogs = std::make_shared<bench::ScriptedDialogs>();
    environment.monotonicMs = [] { return platform::monotonicMs() + clockOffsetMs.load(); };
    app::MainWindow window(environment);
    window.show();
    if (!bench::waitUntil([&window] { return window.isVisible() && !window.loadingMeasurement(); },
                          10'000)) {
        return 1;
    }
    const std::int64_t connectedAtMs = environment.monotonicMs();
    window.connectPage().connectButton()->click();
    if (!bench::waitUntil(
            [&window] { return window.isEnabled() && window.counter().isConnected(); }, 10'000)) {
        std::fprintf(stderr, "bench_window_process: not connected\n");
        return 1;
    }
    window.pages()->setCurrentWidget(&window.graphPage());
    bench::SignalSource signal(bench::Signal::Drift);
    counter::Reading reading;
    reading.unitText = "Hz";
    const std::int64_t dayStartMs = environment.monotonicMs();
    DayClock day(dayStartMs, flooded);
    std::int64_t lastMs = dayStartMs;
    for (long i = 0; i < dayReadings; ++i) {
        reading.value = signal.next();
        reading.telegram = std::to_string(reading.value);
        reading.arrivalMs = lastMs = day.next();
        emit window.counter().readingReceived(reading);
        if (i % kReadingsPerTurn == 0) {
            QApplication::processEvents();
        }
    }
    // The journal writes the day on its own thread: what the figures measure is the live line,
    // not that backlog. It is written once it is all in, or once two seconds added nothing (a
    // journal that gave up).
    std::uint64_t written = 0;
    QElapsedTimer unchanged;
    unchanged.start();
    bench::waitUntil(
        [&window, &written, &unchanged, dayReadings] {
            const std::uint64_t now = window.session().journal().readingsWritten();
            if (now != written) {
                written = now;
                unchanged.restart();
            }
            return now >= static_cast<std::uint64_t>(dayReadings) || unchanged.elapsed() > 2000;
        },
        300'000);
    clockOffsetMs = lastMs - connectedAtMs + kLinePeriodMs;
    for (const counter::InstrumentCommand& command : window.session().instrument().commands()) {
        if (command.role == counter::SetupRole::Start) {
            window.counter().sendCommand(command);
        }
    }
    QApplication::processEvents();
    std::printf("ready %d\n", window.log().count());
    std::fflush(stdout);
    window.pages()->setCurrentWidget(&window.connectPage());
    if (::pipe2(pageSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return 1;
    }
    std::signal(SIGUSR1, askForNextPage);
    QSocketNotifier pageSignal(pageSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&pageSignal, &QSocketNotifier::activated, [&window] {
        char taken[16];
        while (::read(pageSignalPipe[0], taken, sizeof taken) > 0) {
        }
        window.pages()->setCurrentIndex(
            window.pages()->indexOf(window.pages()->currentWidget() == &window.connectPage()
                                        ? static_cast<QWidget*>(&window.graphPage())
                                        : &window.stabilityPage()));
    });
    return application.exec();
}
