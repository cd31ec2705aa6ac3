#include "app/main_window.h"

#include "counter/kelvo_counter.h"

#include <QTimer>

namespace app {
namespace {

// Often enough that the message is back at once, rare enough to cost nothing.
constexpr int DeviceWatchIntervalMs = 250;

} // namespace

// A serial device that vanished leaves the connection open but silent; without the message the
// user would watch a window that quietly stops receiving. Whatever else the status bar shows
// meanwhile gives way to the message again until the user disconnects.
void TForm1::StartDeviceWatch() {
    deviceWatch_ = new QTimer(this);
    deviceWatch_->setInterval(DeviceWatchIntervalMs);
    connect(deviceWatch_, &QTimer::timeout, this, &TForm1::showDeviceLost);
    connect(KELVO_Counter, &counter::KelvoCounter::deviceLost, this, [this] {
        showDeviceLost();
        deviceWatch_->start();
    });
}

void TForm1::showDeviceLost() {
    if (!KELVO_Counter->isConnected()) {
        deviceWatch_->stop();
        return;
    }
    const std::string message = "Serial device " + KELVO_Counter->port() +
                                " is gone (unplugged?). Disconnect and connect again.";
    if (StatusText() != message) {
        SetStatus(message);
    }
}

} // namespace app
