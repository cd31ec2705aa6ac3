// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/instrument.h"
#include "counter/reading.h"
#include "serial/port_open_failure.h"
#include "serial/serial_port.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QTimer;

namespace counter {

// The driver of one instrument on a serial port, after its profile: finds and identifies the
// instrument, sends its commands and turns its telegrams into readings and replies. Nothing here
// waits: what the instrument says arrives as signals on the main thread.
class Driver : public QObject {
    Q_OBJECT

public:
    static constexpr int kIdentifyTries = 3;

    // `arrivalClock` stamps each telegram when its last byte is read (the monotonic clock when
    // empty); it runs on the receive thread.
    explicit Driver(const Instrument& instrument, QObject* parent = nullptr,
                    serial::SerialPort::Clock arrivalClock = {});
    ~Driver() override;

    const Instrument& instrument() const { return *instrument_; }
    // Takes effect at the next connect.
    void setInstrument(const Instrument& instrument) { instrument_ = &instrument; }

    // The port to connect to, such as "COM17"; empty: scan all ports. A connect sets it to the
    // port it connected to.
    const std::string& port() const { return port_; }
    void setPort(const std::string& name) { port_ = name; }
    // While connected: the device name of the identification, or "unknown"; else empty.
    const std::string& device() const { return device_; }
    bool isConnected() const { return connected_; }
    // A command waits for its reply.
    bool awaitingReply() const { return pendingReplies_ > 0; }
    // The last reply of the instrument, as its profile recognises replies.
    const std::string& lastReply() const { return lastReply_; }
    // Telegrams of line noise since the connect: left out, or cut off the reading they were glued
    // to (Instrument::reading, StatusKind::Noise).
    std::uint64_t noiseTelegrams() const { return noiseTelegrams_; }
    // After a connect that found no instrument or a reopen that did not open: why a port did not
    // open. Connecting to one port keeps its failure; a scan keeps the first port that was
    // refused for permission or because another program has it, the ports the instrument may be
    // on. Else nothing.
    const std::optional<serial::PortOpenFailure>& openFailure() const { return openFailure_; }
    // Connected, and the device went away under the connection and is not back (a reopen may
    // be under way).
    bool deviceGone() const { return connected_ && (portLost_ || reopening_); }
    bool reopening() const { return reopening_; }

    // Opens the port, writes the identify command and ends with connectFinished, at once when
    // already connected or when no port opens. A port whose instrument identifies itself within
    // its identify time-out connects. With auto-identify, one that said something else meanwhile
    // (its answer lost to line noise, or readings) is asked again, up to kIdentifyTries in all;
    // without it a port that does not identify itself connects as "unknown".
    // With no port set, the machine's ports are tried from the last to the first, each with
    // auto-identify.
    void connectToInstrument(bool autoIdentify);
    // While deviceGone: opens the port (as setPort left it) afresh and identifies the instrument
    // on it, keeping the session; ends with reopenFinished. It reopens when the same
    // identification comes back or, for an instrument connected as "unknown", when the port
    // opens and stays silent; else the port is closed again and the device stays gone. Does
    // nothing in any other state.
    void reopen();
    // Closes the port: pending reply waits end unanswered, a connect under way ends unconnected.
    void disconnectFromInstrument();
    // Writes the bytes as they are while connected; no reply wait.
    void send(const std::string& bytes);

    // Writes a command of the instrument's table (with `value` where it takes one) and starts a
    // reply wait that commandFinished ends. False, with nothing written, while disconnected.
    bool sendCommand(const InstrumentCommand& command, int value = 0);
    // A command of the user's own, framed as the instrument takes commands; waits for its reply
    // like the others.
    bool sendOwnCommand(const std::string& text);

signals:
    void readingReceived(const counter::Reading& reading);
    // A telegram of the connected instrument that is no reading: a reply or a message (line
    // noise is none); `arrivalMs` as a reading's.
    void statusReceived(const std::string& telegram, std::int64_t arrivalMs);
    void connectFinished(bool connected);
    // Once for every pending reply wait: a reply ends them all answered; the line's next
    // silence or a disconnect ends them unanswered. Readings, messages and noise end none.
    void commandFinished(bool answered);
    // The serial device went away under the connection (unplugged); the port is closed, the
    // connection stays until disconnectFromInstrument or a reopen.
    void deviceLost();
    void reopenFinished(bool reopened);
    // `count` telegrams of the line were lost here because the main thread fell too far behind
    // to take them; the readings in them are missing from the measurement.
    void telegramsLost(std::uint64_t count);

private:
    struct Attempt {
        std::string port;
        bool autoIdentify = false;
    };

    void tryNextPort();
    bool startIdentify(const Attempt& attempt);
    void askIdentity();
    void finishIdentify(bool late);
    void finishReopen(bool late);
    void keepFailure(const serial::PortOpenFailure& failure);
    void handleTelegram(const std::string& telegram, std::int64_t arrivalMs);
    void handleStatus(const std::string& telegram, std::int64_t arrivalMs);
    void handlePortLost();
    bool command(const std::string& bytes);
    void endReplyWaits(bool answered);

    const Instrument* instrument_;
    serial::SerialPort* serialPort_;
    QTimer* identifyDeadline_;
    std::string port_;
    std::string device_;
    std::string idText_;            // the last identification telegram
    std::vector<Attempt> attempts_; // ports still to try, the next one last
    Attempt current_;               // the port being identified
    std::optional<serial::PortOpenFailure> openFailure_;
    bool scanning_ = false;
    bool identifying_ = false;
    bool reopening_ = false;
    bool connected_ = false;
    bool portLost_ = false; // the open port's device went away
    int pendingReplies_ = 0;
    std::string lastReply_;
    std::uint64_t noiseTelegrams_ = 0;
    int identifyTries_ = 0;              // of the port being identified
    bool heardWhileIdentifying_ = false; // the port said something during the try
};

} // namespace counter
