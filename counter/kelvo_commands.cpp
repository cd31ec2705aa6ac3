#include "counter/event_wait.h"
#include "counter/kelvo_counter.h"

#include <QPointer>
#include <cmath>

namespace {
const std::string Esc = "\x1b";
const std::string Cr = "\r";
} // namespace

bool TKELVO_Counter::Command(const std::string& body) {
    if (!Connected) {
        return false;
    }
    Send(Esc + body + Cr);
    return WaitReply();
}

bool TKELVO_Counter::MeasureSingle() {
    return Command("1");
}
bool TKELVO_Counter::MeasureContinuous() {
    return Command("r");
}
bool TKELVO_Counter::MeasureStop() {
    return Command("x");
}
bool TKELVO_Counter::RequestInfo() {
    return Command("I");
}

bool TKELVO_Counter::SetGateTime(float seconds) {
    if (!Connected) {
        return false;
    }
    if (std::fabs(seconds - 1.0f) < 0.001f) {
        return Command("T");
    }
    if (std::fabs(seconds - 0.1f) < 0.0001f) {
        return Command("t");
    }
    return false;
}

bool TKELVO_Counter::SetAverage(bool on) {
    return Command(on ? "A" : "a");
}

bool TKELVO_Counter::SetMode(int mode) {
    switch (mode) {
    case 0:
        return Command("f");
    case 1:
        return Command("p");
    case 2:
        return Command("o");
    default:
        return false;
    }
}

bool TKELVO_Counter::SetTelegram(bool hertzValue) {
    return Command(hertzValue ? "h" : "d");
}

// The counter has one prescaler command; both inputs use it.
bool TKELVO_Counter::SetPrescalerBNC(int n) {
    return Command("b" + std::to_string(n));
}
bool TKELVO_Counter::SetPrescalerSMA(int n) {
    return Command("b" + std::to_string(n));
}

bool TKELVO_Counter::SetTransmitInterval(int n) {
    return Command("i" + std::to_string(n));
}

bool TKELVO_Counter::WaitReply() {
    TimedOut = false;
    StatusText.clear();
    // A wait also ends when the connection goes away underneath it (the user disconnects from
    // inside the wait): a closed port sends no more time-outs, so the wait would never end.
    QPointer<TKELVO_Counter> self(this);
    WaitWithEvents([&] { return !self || !StatusText.empty() || TimedOut || !Connected; });
    return self && !StatusText.empty();
}
