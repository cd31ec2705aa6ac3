#pragma once

#include "tests/support/child_process.h"

#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// One line of the virtual counter's record of what it sent.
struct TSentTelegram {
    double Seconds = 0;
    std::string kind; // reading, reply, garbage, unplug
    std::optional<double> Value;
    std::string Text; // control and 8-bit bytes as \xNN
};

// The virtual KELVO counter program, run for one test with its port link in the test's data
// folder and its record of sent telegrams in `logPath`.
class TVirtualCounter {
public:
    TVirtualCounter(std::string dataHome, std::string logPath);
    ~TVirtualCounter();

    // Starts the program and waits until it serves its port; false when it did not come up.
    bool start(const QStringList& options);
    // Ends the program as Ctrl-C would; it removes its port link.
    void stop();
    bool running();
    // Waits until the program has ended by itself.
    bool WaitFinished(int timeoutMs);

    // Everything it reports having sent so far, in order.
    std::vector<TSentTelegram> Sent() const;
    std::vector<TSentTelegram> SentReadings() const;

    std::string Com;    // "COM20"
    std::string Device; // "/dev/pts/N"

private:
    std::string dataHome_;
    std::string logPath_;
    TChildProcess process_;
};
