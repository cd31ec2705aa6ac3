#pragma once

#include "tests/support/pty_pair.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A KELVO counter played by the test on a pseudo-terminal: it records every byte the program
// writes, answers the commands it was given replies for (CR LF added), and sends telegrams on
// demand.
class TScriptedCounter {
public:
    TScriptedCounter();
    ~TScriptedCounter();

    const std::string& SlavePath() const { return Pty.SlavePath(); }

    // The reply to a command as written (without its CR); "" answers nothing.
    void SetReply(const std::string& command, const std::string& reply);
    // Sends one telegram, CR LF added.
    void SendTelegram(const std::string& telegram);
    // Every byte received so far.
    std::string Received() const;
    void ClearReceived();
    // Closes the line suddenly, like a pulled USB adapter; the counter answers nothing more.
    void Unplug();

private:
    void Serve();

    talvek::test::PtyPair Pty;
    mutable std::mutex Mutex;
    std::string Bytes;
    std::string Pending; // the command being received
    std::map<std::string, std::string> Replies;
    std::atomic<bool> Stop{false};
    std::thread Thread;
};
