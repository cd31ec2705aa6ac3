// SPDX-License-Identifier: GPL-3.0-or-later
// The whole window, its "Graph" page showing (the page that costs most per reading), against the
// virtual counter program flooding the line at ten times its rate, Hertz value after Hertz value,
// for about a minute (or the given number of readings): prints how
// many readings went out and were logged, how long the log lagged behind the counter at the end,
// and the longest time the window's event loop went without turning. Usage: burst_bench --help

#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/display_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/main_window.h"
#include "bench/bench_options.h"
#include "counter/driver.h"
#include "portselect/port_selector.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/menu_action.h"
#include "tests/support/port_sandbox.h"
#include "tests/support/stall_meter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Hertz values of about 13 bytes at ten times 960 bytes/s.
constexpr double kReadingsPerSecond = 740;

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {"burst_bench",
         "The window, \"Graph\" page showing, against the virtual counter flooding the line\n"
         "at ten times its rate: readings sent and logged, the lag at the end, the longest stall\n"
         "of the event loop. The number of points is the number of readings sent (default: a\n"
         "minute of them).",
         static_cast<long>(60 * kReadingsPerSecond), false});
    QApplication application(argc, argv);
    const int count = static_cast<int>(options.points);
    const double seconds = static_cast<double>(count) / kReadingsPerSecond;

    const talvek::test::PortSandbox sandbox;
    VirtualCounter counter(sandbox.path(), sandbox.file("sent.log"));
    if (!counter.start({"--start", "idle", "--format", "hertz", "--gate", "0.1", "--burst", "10",
                        "--count", QString::number(count), "--seed", "3"})) {
        std::puts("the virtual counter did not start");
        return 1;
    }
    app::WindowEnvironment environment;
    environment.settingsFolder = sandbox.path();
    app::MainWindow form(environment);
    form.show();
    form.connectPage().portSelector()->setPort(counter.comName);
    form.counter().setPort(counter.comName);
    form.connectPage().connectButton()->click();
    while (!form.isEnabled()) {
        QTest::qWait(10);
    }
    QAction* continuous =
        talvek::test::findMenuAction(form.commandsPage().commandMenu(), {"Measure", "continuous"});
    if (!continuous) {
        std::puts("no Measure/continuous command");
        return 1;
    }

    form.pages()->setCurrentWidget(&form.graphPage());
    const talvek::test::StallMeter gaps;
    QElapsedTimer clock;
    clock.start();
    continuous->trigger();
    const qint64 limitMs = static_cast<qint64>(seconds * 1000) * 5 + 30000;
    while (form.log().count() < count && clock.elapsed() < limitMs) {
        QTest::qWait(20);
    }
    const double allLogged = clock.elapsed() / 1000.0;
    const std::vector<SentTelegram> sent = counter.sentReadings();
    const double sending = sent.empty() ? 0 : sent.back().seconds - sent.front().seconds;
    form.connectPage().connectButton()->click();

    std::printf("burst at ten times the line rate, Hertz values:\n");
    std::printf("  readings sent:   %zu in %.1f s (%.0f/s)\n", sent.size(), sending,
                sending > 0 ? sent.size() / sending : 0.0);
    std::printf("  readings logged: %d, the last %.1f s after measuring began (%.1f s behind)\n",
                form.log().count(), allLogged, allLogged - sending);
    std::printf(
        "  event loop turns: median gap %lld ms, 99th percentile %lld ms, longest %lld ms\n",
        static_cast<long long>(gaps.percentile(0.5)), static_cast<long long>(gaps.percentile(0.99)),
        static_cast<long long>(gaps.percentile(1)));
    return form.log().count() == count && static_cast<int>(sent.size()) == count ? 0 : 1;
}
