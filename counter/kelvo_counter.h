#pragma once

#include "platform/notify_event.h"
#include "serial/my_com_port.h"

#include <QObject>
#include <string>

// Driver of the KELVO frequency counter: finds and identifies the counter on a serial port, sends
// its commands, and turns its telegrams into readings (OnData) and replies (OnStatus).
class TKELVO_Counter : public QObject {
    Q_OBJECT

public:
    explicit TKELVO_Counter(QObject* owner = nullptr);
    ~TKELVO_Counter() override;

    // Published properties.
    const std::string& Device() const { return device_; }
    std::string ComPort; // empty: scan all ports
    TNotifyEvent OnData;
    TNotifyEvent OnStatus;

    // Public fields, read by the owner.
    bool Connected = false;
    std::string LastText;
    bool TimedOut = false;
    bool IsPeriod = false;
    bool Identified = false;
    std::string IdText;
    TMyComPort* SerialPort; // owned
    TPortArray PortNames;
    std::string Telegram;
    std::string ValueText;
    std::string UnitText;
    std::string StatusText;
    double Value = 0;

    bool Connect(bool AutoIdentify);
    void Disconnect();
    void Send(const std::string& text);
    bool OpenAndIdentify(const std::string& portName, bool AutoIdentify);
    void FetchPorts();

    void HandleTimeOut();
    void HandleTelegram(const std::string& telegram);

    // Counter commands: true when the counter answered with a status telegram.
    bool MeasureSingle();
    bool MeasureContinuous();
    bool MeasureStop();
    bool RequestInfo();
    bool SetGateTime(float seconds);
    bool SetAverage(bool on);
    bool SetMode(int mode);
    bool SetTelegram(bool hertzValue);
    bool SetPrescalerBNC(int n);
    bool SetPrescalerSMA(int n);
    bool SetTransmitInterval(int n);
    bool WaitReply();

    static constexpr int IdentifyTimeoutMs = 1500;

signals:
    // The serial device went away under the open port (unplugged).
    void deviceLost();

private:
    bool Command(const std::string& body);
    void HandleStatus(const std::string& telegram);
    bool HandleDisplayDump(const std::string& telegram);
    bool HandleHertzValue(const std::string& telegram);
    void RaiseData();

    std::string device_;
    bool portLost_ = false; // the open port's device went away
};
