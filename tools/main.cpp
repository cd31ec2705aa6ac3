// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/port_links.h"
#include "tools/counter_loop.h"
#include "tools/options.h"
#include "tools/port_link.h"
#include "tools/telegram_log.h"
#include "tools/virtual_port.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace tools {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

// The stop signals stay blocked except while the loop waits, so none slips in between a check
// and the wait; their handler only raises the flag, and the link is removed on the way out.
sigset_t installStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stopSignals, signal);
        struct sigaction action {};
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    return waitMask;
}

} // namespace
} // namespace tools

int main(int argc, char** argv) {
    const tools::ParsedOptions parsed =
        tools::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "virtual-kelvo: %s\nTry 'virtual-kelvo --help'.\n",
                     parsed.error.c_str());
        return 2;
    }
    const tools::Options& options = parsed.values;
    if (options.help) {
        std::fputs(tools::usageText().c_str(), stdout);
        return 0;
    }
    const sigset_t waitMask = tools::installStopSignals();
    try {
        tools::TelegramLog log(options.logFile);
        tools::VirtualPort port;
        tools::PortLink link(platform::userPortLinkFolder(), port.slavePath(), options.com);
        std::printf("virtual-kelvo serving %s at %s\n", link.comName().c_str(),
                    port.slavePath().c_str());
        std::printf("link %s\n", link.linkPath().c_str());
        std::printf("Ctrl-C ends it and removes the link.\n");
        std::fflush(stdout);
        tools::CounterLoop loop(options, port, log);
        const int code = loop.run(tools::stopRequested, waitMask);
        link.remove();
        if (options.unplugAfterMs >= 0 && !tools::stopRequested) {
            std::printf("unplugged %s\n", link.comName().c_str());
        }
        return code;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "virtual-kelvo: %s\n", error.what());
        return 1;
    }
}
