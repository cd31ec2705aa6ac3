// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/hand_over_queue.h"
#include "serial/port_open_failure.h"
#include "serial/serial_types.h"

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace serial {

struct ReceiveLink;

// One serial device under its COM name: line settings, open and close, write, the receive thread
// that hands telegrams and silences to the main thread, and the list of the machine's ports.
// Only one port object has a device open at any moment. All calls come from the main thread.
class SerialPort : public QObject {
    Q_OBJECT

public:
    explicit SerialPort(QObject* owner = nullptr);
    ~SerialPort() override;

    std::string portName;
    std::int32_t baudRate = 9600;
    std::int32_t readTimeoutMs = 1000;
    Delimiter delimiter = Delimiter::None;
    Parity parity = Parity::None;
    StopBitCount stopBits = 1;
    DataBitCount dataBits = 8;
    // Most bytes of hand-overs that wait for the main thread; see telegramsDropped.
    std::size_t handOverQueueBytes = serial::kHandOverQueueBytes;

    // The names found by the last listPorts.
    PortNames portNames;
    bool isOpen = false;

    // Opens and configures the device that portName names in the port catalog, then starts
    // the receive thread. False when the name is not a COM name or not mapped, the device does
    // not open or refuses a setting, another port object has a device open, or this one is
    // already open (which changes nothing). `failure`, when given, then says why.
    bool open(serial::PortOpenFailure* failure = nullptr);
    // Asks the receive thread to stop (without waiting for it) and closes the device.
    void close();
    // Writes all bytes of Text; errors and short writes are ignored.
    void write(const std::string& text);
    // Refills portNames with the machine's COM names.
    void listPorts();

    // The line settings as a device-control text: "baud=9600 parity=n data=8 stop=1".
    std::string deviceControlText() const;

signals:
    // The receive thread queues what it finds and never waits for the main thread; these come on
    // the main thread in the order of the line, in batches at the turns of its event loop. A
    // receiver may close or delete the port; nothing that was still queued follows then.

    // One telegram cut from the line.
    void telegramReceived(const std::string& telegram);
    // readTimeoutMs passed without a telegram. Watched only when a receiver was connected at Open.
    void silence();
    // The device went away under the open port (unplugged); once per Open.
    void deviceLost();
    // `count` telegrams were lost at this place in the stream: the main thread fell so far behind
    // the line that handOverQueueBytes were waiting (by default some 400,000 telegrams). Comes
    // once the queue has room again; the user should be told that readings are missing.
    void telegramsDropped(std::uint64_t count);

private:
    std::shared_ptr<ReceiveLink> link_;
};

} // namespace serial
