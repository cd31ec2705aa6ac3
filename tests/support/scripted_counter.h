// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/pty_pair.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace talvek::test {

// A KELVO counter played by the test on the far side of a pseudo-terminal: it records every byte
// the program writes, answers the commands it has a reply for and sends telegrams on demand.
class ScriptedCounter {
public:
    ScriptedCounter();
    // Also links the pseudo-terminal as "com<number>" in `linkFolder`, until destruction.
    ScriptedCounter(const std::string& linkFolder, int number);
    ~ScriptedCounter();
    ScriptedCounter(const ScriptedCounter&) = delete;
    ScriptedCounter& operator=(const ScriptedCounter&) = delete;

    const std::string& slavePath() const { return pty_.slavePath(); }

    // The reply (CR LF added) to a command given without its ESC and CR, e.g. answer("I",
    // "kelvo"); an empty reply answers nothing.
    void answer(const std::string& command, const std::string& reply);
    // Sends one telegram, CR LF added.
    void send(const std::string& telegram);

    // Every byte the program has written so far.
    std::string received() const;
    void clearReceived();
    // Waits until at least `count` bytes arrived or the time is up.
    std::string waitForBytes(std::size_t count, std::chrono::milliseconds timeout) const;
    // Steady-clock time at which the first byte arrived, or nothing.
    std::chrono::steady_clock::time_point firstByteAt() const;
    // Closes the line suddenly, like a pulled USB adapter; the counter answers nothing more.
    void unplug();

private:
    void serve();
    // Ends serve() and waits for it.
    void stopServing();

    PtyPair pty_;
    std::string link_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::string received_;
    std::string pending_; // the command being received
    std::chrono::steady_clock::time_point firstByte_{};
    int stopEvent_ = -1; // readable once serve() is to end: it sleeps until bytes or this
    std::thread thread_;
};

} // namespace talvek::test
