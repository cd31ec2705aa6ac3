// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tools {

// The counter's end of a pseudo-terminal. Its slave is the "serial device" a program opens.
// The counter keeps a slave descriptor of its own, so that the terminal stays as set up (raw,
// 9600 baud) and can be reset when a program lets go of it, and it watches the slave node for
// opens and closes to know whether anyone listens.
class VirtualPort {
public:
    VirtualPort(); // throws std::runtime_error
    ~VirtualPort();
    VirtualPort(const VirtualPort&) = delete;
    VirtualPort& operator=(const VirtualPort&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    // Readable when a program opened or closed the slave; then call updateListeners.
    int watchFd() const { return watch_; }

    // Takes note of opens and closes of the slave. When the last program closes it, the
    // terminal is reset like a device that was unplugged and plugged in again.
    void updateListeners();
    bool listening() const { return master_ >= 0 && listeners_ > 0; }
    // Bytes the program wrote, as far as they are in (non-blocking).
    std::string read();
    // The bytes the line took: 0 when it is full for now, -1 when nobody listens (dropped).
    long write(std::string_view bytes);
    // Closes the master at once: to the program it looks like an unplugged device.
    void unplug();

private:
    void resetTerminal();

    int master_ = -1;
    int keeper_ = -1;
    int watch_ = -1;
    int listeners_ = 0;
    std::string slavePath_;
};

} // namespace tools
