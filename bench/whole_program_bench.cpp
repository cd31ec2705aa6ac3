// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program as a user runs it, measured from outside: the window in a process of its own
// (bench_window_process) connected over a pseudo-terminal to the virtual counter program at line
// rate, holding a day of readings (2.4e6, one line period apart or in floods) with the live line
// going on. Its own processor time and resident memory, read from /proc/PID/stat and
// /proc/PID/status, over a minute with each of the "Connect" page (what the recording alone costs),
// the "Graph" page and the "Stability" page showing. Under Xvfb where it is installed, else on the
// offscreen platform.
#include "bench/bench_options.h"
#include "bench/process_figures.h"
#include "tests/e2e/virtual_counter.h"
#include "tests/support/child_process.h"
#include "tests/support/port_sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr int kSettleSeconds = 10;
constexpr int kMeasureSeconds = 60;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr const char* kDisplay = ":57";

// The window's figures over a minute: its share of one core and its resident memory at the end.
void measure(const char* page, pid_t window, long day) {
    std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
    const bench::ProcessFigures before = bench::processFigures(window);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(kMeasureSeconds));
    const bench::ProcessFigures after = bench::processFigures(window);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s page, %.1e readings held, live line: %.1f %% of a core, resident %.0f MiB "
                "(peak %.0f MiB)\n",
                page, static_cast<double>(day),
                100 * (after.processorSeconds - before.processorSeconds) / seconds,
                after.residentBytes / kMiB, after.peakResidentBytes / kMiB);
    std::fflush(stdout);
}

// Xvfb where it is installed; the window then runs on it as on a desktop.
std::vector<std::pair<std::string, std::string>> displayOf(talvek::test::ChildProcess& server) {
    if (std::system("command -v Xvfb >/dev/null 2>&1") == 0 &&
        server.start("Xvfb", {kDisplay, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"})) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        if (server.running()) {
            std::printf("display: Xvfb %s\n", kDisplay);
            return {{"DISPLAY", kDisplay}, {"QT_QPA_PLATFORM", "xcb"}};
        }
    }
    std::printf("display: offscreen (Xvfb not installed)\n");
    return {{"QT_QPA_PLATFORM", "offscreen"}};
}

bool run(const std::string& windowProgram, long day, bool flooded,
         const std::vector<std::pair<std::string, std::string>>& display) {
    std::printf("%s day:\n", flooded ? "flooded" : "evenly spaced");
    const talvek::test::PortSandbox sandbox;
    VirtualCounter counter(sandbox.path(), sandbox.file("sent.log"));
    if (!counter.start({"--start", "idle", "--line-rate", "--seed", "5"})) {
        std::printf("the virtual counter did not start\n");
        return false;
    }
    std::ofstream(sandbox.file("Zorvimet.ini"), std::ios::binary) << counter.comName << "\r\n";
    std::vector<std::pair<std::string, std::string>> environment = display;
    environment.emplace_back("XDG_DATA_HOME", sandbox.path());
    talvek::test::ChildProcess window;
    if (!window.start(windowProgram,
                      {sandbox.path(), std::to_string(day), flooded ? "flooded" : "even"},
                      environment)) {
        std::printf("the window did not start\n");
        return false;
    }
    std::string said;
    const auto start = std::chrono::steady_clock::now();
    while (said.find('\n') == std::string::npos && window.running()) {
        said += window.readOutput(1000);
    }
    if (said.rfind("ready", 0) != 0) {
        std::printf("the window did not get ready\n");
        return false;
    }
    std::printf("window ready after %.0f s: %s",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                said.c_str());
    measure("Connect", window.pid(), day);
    window.signal(SIGUSR1);
    measure("Graph", window.pid(), day);
    window.signal(SIGUSR1);
    measure("Stability", window.pid(), day);
    window.stop();
    counter.stop();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        {.name = "whole_program_bench",
         .what =
             "The window in a process of its own against the virtual counter at line rate over\n"
             "a pseudo-terminal, with a day of readings held (evenly spaced, then flooded): its\n"
             "processor time and resident memory from /proc over a minute each with the Connect\n"
             "page (the recording alone), the Graph page and the Stability page showing; under\n"
             "Xvfb where installed.",
         .defaultPoints = 2'400'000,
         .drawsSignal = false});
    QCoreApplication application(argc, argv);
    const std::string windowProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath("bench_window_process").toStdString();
    talvek::test::ChildProcess server;
    const auto display = displayOf(server);
    bool good = true;
    for (const bool flooded : {false, true}) {
        good = run(windowProgram, options.points, flooded, display) && good;
    }
    return good ? 0 : 1;
}
