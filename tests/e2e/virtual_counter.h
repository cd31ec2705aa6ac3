// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tests/support/child_process.h"

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// One line of the virtual counter's record of what it sent.
struct SentTelegram {
    double seconds = 0;
    std::string kind; // reading, reply, garbage, unplug
    std::optional<double> value;
    std::string text; // control and 8-bit bytes as \xNN
};

// The virtual KELVO counter program, run for one test with its port link in the test's data
// folder and its record of sent telegrams in `logPath`.
class VirtualCounter {
public:
    VirtualCounter(std::string dataHome, std::string logPath);
    ~VirtualCounter();

    // Starts the program and waits until it serves its port; false when it did not come up.
    bool start(const QStringList& options);
    // Ends the program as Ctrl-C would; it removes its port link.
    void stop();
    bool running();
    // Waits until the program has ended by itself.
    bool waitFinished(int timeoutMs);

    // Everything it reports having sent so far, in order.
    std::vector<SentTelegram> sent() const;
    std::vector<SentTelegram> sentReadings() const;

    std::string comName; // "COM20"
    std::string device;  // "/dev/pts/N"

private:
    std::string dataHome_;
    std::string logPath_;
    talvek::test::ChildProcess process_;
};
