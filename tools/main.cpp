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

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

// The stop signals stay blocked except while the loop waits, so none slips in between a check
// and the wait; their handler only raises the flag, and the link is removed on the way out.
sigset_t InstallStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stopSignals, signal);
        struct sigaction action {};
        action.sa_handler = RequestStop;
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

int main(int argc, char** argv) {
    const vkelvo::ParsedOptions parsed =
        vkelvo::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.Error.empty()) {
        std::fprintf(stderr, "virtual-kelvo: %s\nTry 'virtual-kelvo --help'.\n",
                     parsed.Error.c_str());
        return 2;
    }
    const vkelvo::Options& options = parsed.Values;
    if (options.Help) {
        std::fputs(vkelvo::UsageText().c_str(), stdout);
        return 0;
    }
    const sigset_t waitMask = InstallStopSignals();
    try {
        vkelvo::TelegramLog log(options.LogFile);
        vkelvo::VirtualPort port;
        vkelvo::PortLink link(platform::UserPortLinkFolder(), port.SlavePath(), options.Com);
        std::printf("virtual-kelvo serving %s at %s\n", link.ComName().c_str(),
                    port.SlavePath().c_str());
        std::printf("link %s\n", link.LinkPath().c_str());
        std::printf("Ctrl-C ends it and removes the link.\n");
        std::fflush(stdout);
        vkelvo::CounterLoop loop(options, port, log);
        const int code = loop.Run(stopRequested, waitMask);
        link.Remove();
        if (options.UnplugAfterMs >= 0 && !stopRequested) {
            std::printf("unplugged %s\n", link.ComName().c_str());
        }
        return code;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "virtual-kelvo: %s\n", error.what());
        return 1;
    }
}
