#include "app/main_window.h"

#include "counter/kelvo_counter.h"

#include <QTimer>

namespace app {
namespace {

// Often enough that the user learns of a pulled adapter at once, rare enough to cost nothing.
constexpr int DeviceWatchIntervalMs = 250;

} // namespace

// A serial device that vanished leaves the connection open but silent; without this check the
// user would watch a window that quietly stops receiving.
void TForm1::StartDeviceWatch() {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { CheckSerialDevice(); });
    timer->start(DeviceWatchIntervalMs);
}

void TForm1::CheckSerialDevice() {
    if (!KELVO_Counter->Connected || !KELVO_Counter->SerialPort->DeviceLost()) {
        return;
    }
    const std::string message = "Serial device " + KELVO_Counter->ComPort +
                                " is gone (unplugged?). Disconnect and connect again.";
    if (StatusText() != message) {
        SetStatus(message);
    }
}

} // namespace app
