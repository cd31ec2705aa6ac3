// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/line_settings.h"

#include <atomic>
#include <memory>
#include <shared_mutex>
#include <string>

namespace platform {

// Why a device did not open.
enum class OpenFailureCause {
    NotFound,            // no such device, or it went away (unplugged)
    NoPermission,        // the user may not open it (not in the group that owns it, "dialout")
    InUse,               // another program has it open
    NotSerial,           // it is not a terminal
    LineSettingsRefused, // it does not take the line settings
    SystemError,         // anything else; the error number says what
};

struct OpenFailure {
    OpenFailureCause cause = OpenFailureCause::NotFound;
    std::string otherProgram; // InUse: the other program's name, when it could be read
    int systemError = 0;      // SystemError: errno
};

// One serial device opened exclusively, raw, with the line settings asked for. Reads may run on
// one thread while another writes or closes: close wakes a read in progress and waits only for it
// to leave the descriptor, so a read never touches a descriptor number handed out again.
class SerialDevice {
public:
    // A read that waits until bytes come or the device closes, however long that takes.
    static constexpr int kWaitForBytes = -1;

    // Opens the device node (links resolved) for reading and writing, as no process's
    // controlling terminal, locked against every other opener, and sets the line: `line`, raw,
    // without flow control. A device another program has open does not open, whether that
    // program locked it or not. Nothing when it does not open; `failure` then says why.
    static std::shared_ptr<SerialDevice>
    open(const std::string& path, const LineSettings& line = {}, OpenFailure* failure = nullptr);
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Waits up to `waitMs` (kWaitForBytes: without limit) for the line to bring bytes, then takes
    // what has arrived, at most `count`. The bytes read; 0 when none came in time or the device
    // is closing; -1 on a closed device or an error (lost() tells whether the device is gone).
    int read(char* buffer, int count, int waitMs);
    // Writes the bytes, waiting while the line has no room; gives up when the line has not taken
    // them within 20 ms plus 1 ms a byte. The bytes written, or -1 on an error or closed device.
    int write(const char* data, int count);
    void close();

    // From now on a read waits until a line has ended, with a newline or with `end`: the bytes of
    // a line wake the reader once, when its last byte has come, not once each. Nothing else of
    // the bytes changes. The terminal holds at most kLineLimit bytes of a line; of a longer one it
    // keeps the beginning and its end, so a line read that long has lost bytes. False when the
    // terminal refused; reads then go on as before.
    bool readWholeLines(char end);
    static constexpr int kLineLimit = 4095;

    // True once a read has found the device gone (hang-up, I/O error: an unplugged adapter).
    bool lost() const { return lost_.load(); }

private:
    SerialDevice(int fd, int wakeFd);
    bool applyLine(const LineSettings& line);
    int takeAvailable(char* buffer, int count);

    std::shared_mutex use_; // shared by reads and writes, held exclusively to close
    int fd_;
    int wakeFd_;
    std::atomic<bool> lost_{false};
};

} // namespace platform
