#include "counter/kelvo_counter.h"

#include "counter/event_wait.h"
#include "platform/clock.h"

#include <QPointer>

TKELVO_Counter::TKELVO_Counter(QObject* owner) : QObject(owner), SerialPort(new TMyComPort(this)) {
    SerialPort->BaudRate = 9600;
    SerialPort->DataBits = 8;
    SerialPort->Parity = TParity::none;
    SerialPort->StopBits = 1;
    SerialPort->Delimiter = TDelimiter::CRLF;
    SerialPort->ReadTimeOut = 1500;
    connect(SerialPort, &TMyComPort::telegramReceived, this, &TKELVO_Counter::HandleTelegram);
    connect(SerialPort, &TMyComPort::silence, this, &TKELVO_Counter::HandleTimeOut);
    connect(SerialPort, &TMyComPort::deviceLost, this, [this] {
        portLost_ = true;
        if (Connected) {
            emit deviceLost();
        }
    });
}

TKELVO_Counter::~TKELVO_Counter() {
    if (SerialPort) {
        SerialPort->Close();
        delete SerialPort;
        SerialPort = nullptr;
    }
}

bool TKELVO_Counter::Connect(bool AutoIdentify) {
    if (Connected) {
        return true;
    }
    Connected = false;
    device_.clear();
    if (!ComPort.empty()) {
        OpenAndIdentify(ComPort, AutoIdentify);
    } else {
        FetchPorts();
        for (auto name = PortNames.rbegin(); name != PortNames.rend(); ++name) {
            if (OpenAndIdentify(*name, true)) {
                break;
            }
        }
    }
    return Connected;
}

void TKELVO_Counter::FetchPorts() {
    SerialPort->ListPorts();
    PortNames = SerialPort->PortList;
}

bool TKELVO_Counter::OpenAndIdentify(const std::string& portName, bool AutoIdentify) {
    LastText.clear();
    TimedOut = false;
    Identified = false;
    portLost_ = false;
    device_.clear();

    SerialPort->ComPort = portName;
    const bool opened = SerialPort->Open();
    const std::int64_t t0 = platform::MonotonicMs();
    if (!opened) {
        return false;
    }
    SerialPort->Write(std::string("\x1bI\r"));

    // The decision uses the late test of the last pass: an identification that arrives in the
    // pass that also finds the time up counts as late.
    bool late = false;
    QPointer<TKELVO_Counter> self(this);
    WaitWithEvents([&] {
        if (!self) {
            return true;
        }
        late = platform::MonotonicMs() - t0 > IdentifyTimeoutMs;
        return Identified || late;
    });
    if (!self) {
        return false;
    }

    if (AutoIdentify && late) {
        SerialPort->Close();
        return false;
    }
    device_ = late ? std::string("unknown") : IdText + "-counter";
    ComPort = portName;
    Connected = true;
    if (portLost_) {
        emit deviceLost();
    }
    return true;
}

void TKELVO_Counter::Disconnect() {
    SerialPort->Close();
    device_.clear();
    Connected = false;
}

void TKELVO_Counter::Send(const std::string& text) {
    if (Connected) {
        SerialPort->Write(text);
    }
}

void TKELVO_Counter::HandleTimeOut() {
    TimedOut = true;
}
