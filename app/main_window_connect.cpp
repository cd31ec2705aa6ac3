#include "app/main_window.h"

#include "counter/kelvo_counter.h"
#include "graph/xy_plot.h"
#include "platform/clock.h"
#include "portselect/com_port_combo_box.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

namespace app {
namespace {

bool SamePort(const std::string& a, const std::string& b) {
    return QString::fromLatin1(a).compare(QString::fromLatin1(b), Qt::CaseInsensitive) == 0;
}

} // namespace

void TForm1::BConnectClick() {
    deviceWatch_->stop();
    SetStatus({});
    if (!BConnect->isChecked()) {
        KELVO_Counter->disconnectFromCounter();
        SetCaption("KELVO frequency counter disconnected");
        BConnect->setText(QStringLiteral("Connect"));
        return;
    }
    Log->Clear();
    StartTime = platform::NowDateTime();
    startMs_ = monotonicMs_();
    SetCaption("busy...");
    setEnabled(false);
    KELVO_Counter->setPort(CCom->Port());
    KELVO_Counter->connectToCounter(CheckAuto->isChecked());
}

// The window stays disabled from the press of BConnect until the connect has ended here.
void TForm1::finishConnect(bool connected) {
    if (connected) {
        ShowSelectedPort(KELVO_Counter->port());
        SavedPort = KELVO_Counter->port();
        SetCaption("Connected to " + KELVO_Counter->device() + " on port " + KELVO_Counter->port());
        BConnect->setText(QStringLiteral("Disconnect"));
        XY->SetXY_RulerOn(true);
        XY->ClearAllTraces();
        XY->AddTrace(false, {});
    } else {
        SetCaption("KELVO frequency counter not found");
        BConnect->setChecked(false);
    }
    setEnabled(true);
}

// The selector shows the connected port without choosing it: its Port stays as the user left it.
void TForm1::ShowSelectedPort(const std::string& port) {
    for (std::size_t i = 0; i < CCom->ShownPorts.size(); ++i) {
        if (SamePort(CCom->ShownPorts[i].Name, port)) {
            CCom->setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
}

void TForm1::ConnectDisconnect1Click() {
    BConnect->setChecked(!BConnect->isChecked());
    BConnectClick();
}

void TForm1::CComChange() {
    SavedPort = CCom->Port();
}

bool TForm1::FormCloseQuery() {
    if (!KELVO_Counter->isConnected()) {
        return true;
    }
    BConnect->setChecked(false);
    BConnectClick();
    SetStatus("Serial connection closed. Try to close window again!");
    return false;
}

} // namespace app
