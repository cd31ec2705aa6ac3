#include "app/main_window.h"

#include "app/int_text.h"
#include "counter/kelvo_counter.h"

#include <QLineEdit>
#include <QListWidget>

namespace app {
namespace {

constexpr char Esc = 27;
constexpr char Cr = 13;

} // namespace

void TForm1::RunCommand(const std::function<bool(TKELVO_Counter&)>& command) {
    LBC->clear();
    command(*KELVO_Counter);
}

// A value the user did not enter as a whole number is never sent, not even as a stand-in.
void TForm1::RunValueCommand(bool (TKELVO_Counter::*command)(int)) {
    const auto value = TryStrToInt(EC->text().toLatin1().toStdString());
    if (!value) {
        SetStatus("Error: Value is not a number!");
    }
    LBC->clear();
    if (value) {
        (KELVO_Counter->*command)(*value);
    }
}

void TForm1::single1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.MeasureSingle(); });
}

void TForm1::continuous1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.MeasureContinuous(); });
}

void TForm1::stop1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.MeasureStop(); });
}

void TForm1::N1s1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetGateTime(1.0f); });
}

void TForm1::N01s1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetGateTime(0.1f); });
}

void TForm1::ON1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetAverage(true); });
}

void TForm1::OFF1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetAverage(false); });
}

void TForm1::Frequency1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetMode(0); });
}

void TForm1::Period1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetMode(1); });
}

void TForm1::Offset1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetMode(2); });
}

void TForm1::LCDdump1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetTelegram(false); });
}

void TForm1::Hertzvalue1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.SetTelegram(true); });
}

void TForm1::ransmitIntervalvalue1Click() {
    RunValueCommand(&TKELVO_Counter::SetTransmitInterval);
}

void TForm1::BNCvalue1Click() {
    RunValueCommand(&TKELVO_Counter::SetPrescalerBNC);
}

void TForm1::SMAvalue1Click() {
    RunValueCommand(&TKELVO_Counter::SetPrescalerSMA);
}

void TForm1::Status1Click() {
    RunCommand([](TKELVO_Counter& c) { return c.RequestInfo(); });
}

void TForm1::ESCCommandvalue1Click() {
    LBC->clear();
    const std::string command = Esc + EC->text().toLatin1().toStdString();
    SetStatus("Command sent: <ESC>" + command);
    KELVO_Counter->Send(command + Cr);
}

void TForm1::KELVO_CounterStatus() {
    LBC->addItem(QString::fromLatin1(KELVO_Counter->StatusText));
}

void TForm1::FormKeyPress(char key) {
    LBC->clear();
    if (key == Cr) {
        ESCCommandvalue1Click();
    }
}

} // namespace app
