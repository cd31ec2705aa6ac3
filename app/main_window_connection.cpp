// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/connect_page.h"
#include "app/display_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/recording/recording_journal.h"
#include "app/stability_page.h"
#include "counter/kelvo_counter.h"
#include "counter/reading.h"
#include "counter/reconnector.h"
#include "platform/clock.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace app {
namespace {

// Often enough that the message is back at once, rare enough to cost nothing.
constexpr int kDeviceWatchIntervalMs = 250;

} // namespace

// The window stays disabled from the press of the connect button until finishConnect.
void MainWindow::connectOrDisconnect(bool connect) {
    deviceWatch_->stop();
    showStatus({});
    if (!connect) {
        counter_->disconnectFromCounter();
        recording_->finish(elapsedMs());
        setWindowTitle(QStringLiteral("KELVO frequency counter disconnected"));
        connectPage_->showDisconnected();
        return;
    }
    log_->clear();
    lostTelegrams_ = 0;
    lossNote_->hide();
    startTime_ = platform::nowDateTime();
    startMs_ = monotonicMs_();
    journalNotice_->clear();
    recording_->start(startTime_, connectPage_->selectedPort());
    setWindowTitle(QStringLiteral("busy..."));
    setEnabled(false);
    counter_->setPort(connectPage_->selectedPort());
    counter_->connectToCounter(connectPage_->autoIdentify());
}

// The device name comes from the counter's telegram: one character per byte.
void MainWindow::finishConnect(bool connected) {
    if (connected) {
        const std::string& port = counter_->port();
        connectPage_->showConnected(port);
        savedPort_ = port;
        setWindowTitle(QStringLiteral("Connected to ") + QString::fromLatin1(counter_->device()) +
                       QStringLiteral(" on port ") + QString::fromUtf8(port));
        graphPage_->startTrace();
        stabilityPage_->clear();
    } else {
        setWindowTitle(QStringLiteral("KELVO frequency counter not found"));
        connectPage_->showDisconnected();
        recording_->discard(); // it holds no reading
        if (const auto& failure = counter_->openFailure()) {
            statusBar_->showMessage(QString::fromUtf8(serial::openFailureText(*failure)));
        }
    }
    setEnabled(true);
}

void MainWindow::addReading(const counter::Reading& reading) {
    const double t = elapsedMs();
    recording_->addReading(t, reading);
    showStatus(reading.telegram);
    log_->append(t, reading.value);
    graphPage_->addReading(t / 1000, reading);
    stabilityPage_->addReading(t, reading.value, reading.isPeriod);
    displayPage_->showReading(reading);
}

// Whole milliseconds on the monotonic clock since the connect attempt: a clock change must not
// bend the data.
double MainWindow::elapsedMs() const {
    return static_cast<double>(monotonicMs_() - startMs_);
}

// A close while connected disconnects and is refused once; the next close goes ahead.
bool MainWindow::disconnectBeforeClose() {
    if (!counter_->isConnected()) {
        return false;
    }
    connectPage_->toggleConnection();
    showStatus("Serial connection closed. Try to close window again!");
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (disconnectBeforeClose()) {
        event->ignore();
        return;
    }
    storeSettings();
    // The journal goes only once its readings are safe in the close-time export.
    if (saveLastMeasurement()) {
        recording_->discard();
    }
    event->accept();
}

// A serial device that vanished leaves the connection open but silent; without the message the
// user would watch a window that quietly stops receiving. Whatever else the status bar shows
// meanwhile gives way to the message again until the user disconnects.
// The session goes on when the same device comes back.
void MainWindow::watchDevice() {
    deviceWatch_->setInterval(kDeviceWatchIntervalMs);
    connect(deviceWatch_, &QTimer::timeout, this, &MainWindow::showDeviceLost);
    connect(counter_, &counter::KelvoCounter::deviceLost, this, [this] {
        showDeviceLost();
        deviceWatch_->start();
    });
    auto* reconnector =
        new counter::Reconnector(*counter_, this, counter::Reconnector::kPollMs, monotonicMs_);
    connect(reconnector, &counter::Reconnector::reconnected, this,
            [this](const std::string& port, std::int64_t lostMs) {
                deviceWatch_->stop();
                showStatus(
                    "Serial device " + port + " reconnected; " +
                    QString::number(static_cast<double>(lostMs) / 1000, 'f', 1).toStdString() +
                    " s lost.");
            });
}

void MainWindow::showDeviceLost() {
    if (!counter_->isConnected()) {
        deviceWatch_->stop();
        return;
    }
    const std::string message = "Serial device " + counter_->port() +
                                " is gone (unplugged?). Disconnect and connect again.";
    if (statusText() != message) {
        showStatus(message);
    }
}

// Every reading replaces the status text, so the loss is told in a note of its own that stays
// until the next connect: a measurement with gaps must never look complete.
void MainWindow::noteLostTelegrams(std::uint64_t count) {
    lostTelegrams_ += count;
    lossNote_->setText(
        QStringLiteral("%1 telegrams lost: the window fell behind the line").arg(lostTelegrams_));
    lossNote_->show();
}

} // namespace app
