#pragma once

#include <string>
#include <string_view>

namespace vkelvo {

// The counter's end of a pseudo-terminal. Its slave is the "serial device" a program opens; the
// slave is set raw at 9600 baud and is not held open here, so that the master can tell whether
// anyone listens.
class VirtualPort {
public:
    VirtualPort(); // throws std::runtime_error
    ~VirtualPort();
    VirtualPort(const VirtualPort&) = delete;
    VirtualPort& operator=(const VirtualPort&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Whether a program has the slave open.
    bool Listening() const;
    // Bytes the program wrote, as far as they are in (non-blocking).
    std::string Read();
    // The bytes the line took: 0 when it is full for now, -1 when nobody listens (dropped).
    long Write(std::string_view bytes);
    // Closes the master at once: to the program it looks like an unplugged device.
    void Unplug();

private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace vkelvo
