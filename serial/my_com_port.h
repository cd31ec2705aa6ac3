#pragma once

#include "serial/hand_over_queue.h"
#include "serial/port_open_failure.h"
#include "serial/serial_types.h"

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct TPollLink;

// One serial device under its COM name: line settings, open and close, write, the receive thread
// that hands telegrams and silences to the main thread, and the list of the machine's ports.
// Only one port object has a device open at any moment. All calls come from the main thread.
class TMyComPort : public QObject {
    Q_OBJECT

public:
    explicit TMyComPort(QObject* AOwner = nullptr);
    ~TMyComPort() override;

    std::string ComPort;
    std::int32_t BaudRate = 9600;
    std::int32_t ReadTimeOut = 1000;
    TDelimiter Delimiter = TDelimiter::no;
    TParity Parity = TParity::none;
    TStop StopBits = 1;
    TData DataBits = 8;
    // Most bytes of hand-overs that wait for the main thread; see telegramsDropped.
    std::size_t HandOverQueueBytes = serial::kHandOverQueueBytes;

    // The names found by the last ListPorts.
    TPortArray PortList;
    bool IsOpen = false;

    // Opens and configures the device that ComPort names in the port catalog, then starts
    // the receive thread. False when the name is not a COM name or not mapped, the device does
    // not open or refuses a setting, another port object has a device open, or this one is
    // already open (which changes nothing). `failure`, when given, then says why.
    bool Open(serial::PortOpenFailure* failure = nullptr);
    // Asks the receive thread to stop (without waiting for it) and closes the device.
    void Close();
    // Writes all bytes of Text; errors and short writes are ignored.
    void Write(const std::string& Text);
    // Refills PortList with the machine's COM names.
    void ListPorts();

    // The line settings as a device-control text: "baud=9600 parity=n data=8 stop=1".
    std::string DeviceControlText() const;

signals:
    // The receive thread queues what it finds and never waits for the main thread; these come on
    // the main thread in the order of the line, in batches at the turns of its event loop. A
    // receiver may close or delete the port; nothing that was still queued follows then.

    // One telegram cut from the line.
    void telegramReceived(const std::string& telegram);
    // ReadTimeOut passed without a telegram. Watched only when a receiver was connected at Open.
    void silence();
    // The device went away under the open port (unplugged); once per Open.
    void deviceLost();
    // `count` telegrams were lost at this place in the stream: the main thread fell so far behind
    // the line that HandOverQueueBytes were waiting (by default some 400,000 telegrams). Comes
    // once the queue has room again; the user should be told that readings are missing.
    void telegramsDropped(std::uint64_t count);

private:
    std::shared_ptr<TPollLink> link_;
};
