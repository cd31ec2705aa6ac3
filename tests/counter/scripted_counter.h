#pragma once

#include "tests/support/pty_pair.h"

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A counter played by the test on the far side of a pseudo-terminal registered as a COM port.
// It records every ESC command it receives and answers the ones it has a reply for.
class ScriptedCounter {
public:
    // Links the pseudo-terminal as "com<number>" in `linkFolder`.
    ScriptedCounter(const std::string& linkFolder, int number);
    ~ScriptedCounter();

    // Reply (without CR LF) to a command given without ESC and CR, e.g. Answer("I", "kelvo").
    void Answer(const std::string& command, const std::string& reply);
    // Sends one telegram, CR LF appended.
    void Send(const std::string& telegram);

    // Every byte the program has written so far.
    std::string Received() const;
    // Waits until at least `count` bytes arrived or the time is up.
    std::string WaitForBytes(std::size_t count, std::chrono::milliseconds timeout) const;
    // Steady-clock time at which the first byte arrived, or nothing.
    std::chrono::steady_clock::time_point FirstByteAt() const;

private:
    void Run();

    talvek::test::PtyPair pty_;
    std::string link_;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::string received_;
    std::string pending_;
    std::chrono::steady_clock::time_point firstByte_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
