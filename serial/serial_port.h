// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/line_settings.h"
#include "serial/hand_over_queue.h"
#include "serial/port_open_failure.h"
#include "serial/serial_types.h"

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace serial {

struct ReceiveLink;

// How a port runs: the line, where telegrams end, and how long a silence lasts before it counts.
struct PortSettings {
    platform::LineSettings line;
    Delimiter delimiter = Delimiter::CrLf;
    std::int32_t silenceMs = 1000;
    // Most bytes of hand-overs that wait for the main thread; see telegramsDropped.
    std::size_t handOverQueueBytes = kHandOverQueueBytes;
};

// One serial device under its COM name: open with its settings, write, close, and the receive
// thread that hands telegrams and silences to the main thread. Only one port object has a device
// open at any moment. All calls come from the main thread.
class SerialPort : public QObject {
    Q_OBJECT

public:
    // Milliseconds on a monotonic clock; called on the receive thread.
    using Clock = std::function<std::int64_t()>;

    // `arrivalClock` stamps each telegram when its last byte is read; the system's monotonic
    // clock when empty.
    explicit SerialPort(QObject* owner = nullptr, Clock arrivalClock = {});
    ~SerialPort() override;

    // Opens and configures the device that `comName` names in the port catalog, then starts the
    // receive thread. False when the name is not a COM name or not mapped, the device does not
    // open or refuses a setting, another port object has a device open, or this one is already
    // open (which changes nothing). `failure`, when given, then says why.
    bool open(const std::string& comName, const PortSettings& settings,
              serial::PortOpenFailure* failure = nullptr);
    // Asks the receive thread to stop (without waiting for it) and closes the device.
    void close();
    bool isOpen() const { return link_ != nullptr; }
    // Writes all bytes of `bytes`; errors and short writes are ignored.
    void write(const std::string& bytes);

signals:
    // The receive thread queues what it finds and never waits for the main thread; these come on
    // the main thread in the order of the line, in batches at the turns of its event loop. A
    // receiver may close or delete the port; nothing that was still queued follows then.

    // One telegram cut from the line; `arrivalMs` is the clock's time when its last byte was read.
    void telegramReceived(const std::string& telegram, std::int64_t arrivalMs);
    // silenceMs passed without a telegram. Watched only when a receiver was connected at open.
    void silence();
    // The device went away under the open port (unplugged); once per open.
    void deviceLost();
    // `count` telegrams were lost at this place in the stream: the main thread fell so far behind
    // the line that handOverQueueBytes were waiting (by default some 400,000 telegrams). Comes
    // once the queue has room again; the user should be told that readings are missing.
    void telegramsDropped(std::uint64_t count);

private:
    Clock arrivalClock_;
    std::shared_ptr<ReceiveLink> link_;
};

} // namespace serial
