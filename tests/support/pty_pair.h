// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace talvek::test {

// A pseudo-terminal pair standing in for a serial cable: the program under test opens the slave
// path like a serial device, the test plays the instrument on the master side.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // A slave descriptor of the test's own: the terminal's state and input queue as the program
    // sees them.
    int slaveFd() const { return slaveKeeper_; }
    // Bytes the instrument sent that wait in the terminal's input queue, not yet read.
    int slaveInputBytes() const;

    // Writes all bytes to the master side (what the instrument sends).
    void write(const std::string& bytes);
    // Reads what the program wrote, until `count` bytes are in or `timeout` passes.
    std::string read(std::size_t count, std::chrono::milliseconds timeout);
    // What the program wrote and nobody read yet, without waiting.
    std::string readAvailable();
    // Reads whatever arrives until the line has been quiet for `quiet`.
    std::string readUntilQuiet(std::chrono::milliseconds quiet);
    // Closes the master side: to the program it looks like an unplugged device.
    void closeMaster();

private:
    int master_ = -1;
    int slaveKeeper_ = -1; // keeps the slave configured while the program has it closed
    std::string slavePath_;
};

} // namespace talvek::test
