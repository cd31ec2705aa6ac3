// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"
#include "serial/port_open_failure.h"

#include <QObject>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QTimer;
namespace serial {
class SerialPort;
}

namespace counter {

// Driver of the KELVO frequency counter: finds and identifies the counter on a serial port, sends
// its commands and turns its telegrams into readings and replies. Nothing here waits: what the
// counter says arrives as signals on the main thread.
class KelvoCounter : public QObject {
    Q_OBJECT

public:
    explicit KelvoCounter(QObject* parent = nullptr);
    ~KelvoCounter() override;

    static constexpr int kIdentifyTimeoutMs = 1500;

    // The port to connect to, such as "COM17"; empty: scan all ports. A connect sets it to the
    // port it connected to.
    const std::string& port() const { return port_; }
    void setPort(const std::string& name) { port_ = name; }
    // While connected: the identification followed by "-counter", or "unknown"; else empty.
    const std::string& device() const { return device_; }
    bool isConnected() const { return connected_; }
    // A command waits for its reply.
    bool awaitingReply() const { return pendingReplies_ > 0; }
    // After a connect that found no counter or a reopen that did not open: why a port did not
    // open. Connecting to one port keeps its failure; a scan keeps the first port that was
    // refused for permission or because another program has it, the ports the counter may be
    // on. Else nothing.
    const std::optional<serial::PortOpenFailure>& openFailure() const { return openFailure_; }
    // Connected, and the device went away under the connection and is not back (a reopen may
    // be under way).
    bool deviceGone() const { return connected_ && (portLost_ || reopening_); }
    bool reopening() const { return reopening_; }

    // Opens the port, writes the identify command and ends with connectFinished, at once when
    // already connected or when no port opens. A port whose counter identifies itself within
    // kIdentifyTimeoutMs connects; without auto-identify a silent port connects as "unknown".
    // With no port set, the machine's ports are tried from the last to the first, each with
    // auto-identify.
    void connectToCounter(bool autoIdentify);
    // While deviceGone: opens the port (as setPort left it) afresh and identifies the counter on
    // it, keeping the session; ends with reopenFinished. It reopens when the same identification
    // comes back or, for a counter connected as "unknown", when the port opens and stays silent;
    // else the port is closed again and the device stays gone. Does nothing in any other state.
    void reopen();
    // Closes the port: pending reply waits end unanswered, a connect under way ends unconnected.
    void disconnectFromCounter();
    // Writes the bytes as they are while connected; no reply wait.
    void send(const std::string& bytes);

    // The counter's commands: each writes ESC, its letter, an optional number and CR, and starts
    // a reply wait that commandFinished ends. False, with nothing written, while disconnected or
    // for an argument the counter has no command for.
    bool measureSingle();
    bool measureContinuous();
    bool measureStop();
    bool requestInfo();
    bool setGateTime(float seconds); // 1 s or 0.1 s
    bool setAverage(bool on);
    bool setMode(int mode); // 0 frequency, 1 period, 2 offset
    bool setTelegram(bool hertzValue);
    bool setPrescalerBnc(int n);
    bool setPrescalerSma(int n);
    bool setTransmitInterval(int n);
    // A command of the user's own: ESC, `text` as it is, CR; waits for its reply like the others.
    bool escCommand(const std::string& text);

signals:
    void readingReceived(const counter::Reading& reading);
    // A telegram of the connected counter that is no reading: a reply or a message.
    void statusReceived(const std::string& telegram);
    void connectFinished(bool connected);
    // Once for every pending reply wait: a status telegram ends them all answered; the line's
    // next silence or a disconnect ends them unanswered. Readings end none.
    void commandFinished(bool answered);
    // The serial device went away under the connection (unplugged); the port is closed, the
    // connection stays until disconnectFromCounter or a reopen.
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
    void finishIdentify(bool late);
    void finishReopen(bool late);
    void keepFailure(const serial::PortOpenFailure& failure);
    void handleTelegram(const std::string& telegram);
    void handlePortLost();
    bool command(const std::string& body);
    void endReplyWaits(bool answered);

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
};

} // namespace counter
