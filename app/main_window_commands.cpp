#include "app/main_window.h"

#include "app/formats/int_text.h"
#include "counter/kelvo_counter.h"

#include <QLineEdit>
#include <QListWidget>

namespace app {
namespace {

constexpr char Esc = 27;
constexpr char Cr = 13;

} // namespace

// The command is written at once; its reply reaches the list through addReply.
void TForm1::RunCommand(const std::function<bool(counter::KelvoCounter&)>& command) {
    LBC->clear();
    command(*KELVO_Counter);
}

// A value the user did not enter as a whole number is never sent, not even as a stand-in.
void TForm1::RunValueCommand(bool (counter::KelvoCounter::*command)(int)) {
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
    RunCommand([](counter::KelvoCounter& c) { return c.measureSingle(); });
}

void TForm1::continuous1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.measureContinuous(); });
}

void TForm1::stop1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.measureStop(); });
}

void TForm1::N1s1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setGateTime(1.0f); });
}

void TForm1::N01s1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setGateTime(0.1f); });
}

void TForm1::ON1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setAverage(true); });
}

void TForm1::OFF1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setAverage(false); });
}

void TForm1::Frequency1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setMode(0); });
}

void TForm1::Period1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setMode(1); });
}

void TForm1::Offset1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setMode(2); });
}

void TForm1::LCDdump1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setTelegram(false); });
}

void TForm1::Hertzvalue1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.setTelegram(true); });
}

void TForm1::ransmitIntervalvalue1Click() {
    RunValueCommand(&counter::KelvoCounter::setTransmitInterval);
}

void TForm1::BNCvalue1Click() {
    RunValueCommand(&counter::KelvoCounter::setPrescalerBnc);
}

void TForm1::SMAvalue1Click() {
    RunValueCommand(&counter::KelvoCounter::setPrescalerSma);
}

void TForm1::Status1Click() {
    RunCommand([](counter::KelvoCounter& c) { return c.requestInfo(); });
}

void TForm1::ESCCommandvalue1Click() {
    LBC->clear();
    const std::string command = Esc + EC->text().toLatin1().toStdString();
    SetStatus("Command sent: <ESC>" + command);
    KELVO_Counter->send(command + Cr);
}

void TForm1::addReply(const std::string& telegram) {
    LBC->addItem(QString::fromLatin1(telegram));
}

void TForm1::FormKeyPress(char key) {
    LBC->clear();
    if (key == Cr) {
        ESCCommandvalue1Click();
    }
}

} // namespace app
