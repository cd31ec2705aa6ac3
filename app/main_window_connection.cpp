// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/run_list.h"
#include "recording/date_text.h"

#include "app/commands_page.h"
#include "app/connect_page.h"
#include "app/display_page.h"
#include "app/dynamic_page.h"
#include "app/graph_page.h"
#include "app/log_model.h"
#include "app/stability_page.h"
#include "counter/driver.h"
#include "counter/reading.h"
#include "recording/analysis_quantity.h"
#include "recording/influx_feed.h"
#include "recording/reading_store.h"
#include "recording/session.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <utility>

namespace app {
namespace {

// Often enough that the message is back at once, rare enough to cost nothing.
constexpr int kDeviceWatchIntervalMs = 250;

QString instrumentCaption(const counter::Instrument& instrument) {
    return QString::fromUtf8(instrument.caption().data(),
                             static_cast<int>(instrument.caption().size()));
}

} // namespace

// The window stays disabled from the press of the connect button until finishConnect.
void MainWindow::connectOrDisconnect(bool connect) {
    deviceWatch_->stop();
    showStatus({});
    if (!connect) {
        session_->stop();
        if (influx_) {
            influx_->finish(std::chrono::milliseconds(0)); // goes on meanwhile
        }
        setWindowTitle(instrumentCaption(session_->instrument()) + QStringLiteral(" disconnected"));
        connectPage_->showDisconnected();
        return;
    }
    // A measurement being read is given up, and journals still to offer wait for the next start.
    stopLoading();
    leftovers_.clear();
    // A measurement read back stays beside the live one; an earlier live one goes.
    const bool keepShown =
        !runs_->runs().empty() && !runs_->runs().front().live && !readings_->empty();
    readings_ = std::make_shared<recording::ReadingStore>();
    log_->show(readings_);
    lossNote_->hide();
    journalNotice_->clear();
    setWindowTitle(QStringLiteral("busy..."));
    setEnabled(false);
    recording::SessionPlan plan;
    plan.port = connectPage_->selectedPort();
    plan.autoIdentify = connectPage_->autoIdentify();
    const std::string port = plan.port;
    session_->start(std::move(plan));
    startTime_ = session_->startTime();
    runs_->setShown({port + ' ' + recording::dateTimeToStr(startTime_), readings_,
                     counter::Quantity::Frequency, startTime_, true},
                    keepShown);
}

// The device name comes from the instrument's telegram: one character per byte.
void MainWindow::finishConnect(bool connected) {
    const counter::Driver& driver = session_->driver();
    if (connected) {
        const std::string& port = driver.port();
        connectPage_->showConnected(port);
        savedPort_ = port;
        setWindowTitle(QStringLiteral("Connected to ") + QString::fromLatin1(driver.device()) +
                       QStringLiteral(" on port ") + QString::fromUtf8(port));
        graphPage_->startTrace(readings_);
        stabilityPage_->follow(readings_);
        dynamicPage_->follow(readings_);
    } else {
        setWindowTitle(instrumentCaption(session_->instrument()) + QStringLiteral(" not found"));
        connectPage_->showDisconnected();
        session_->journal().discard(); // it holds no reading
        if (const auto& failure = driver.openFailure()) {
            statusBar_->showMessage(QString::fromUtf8(serial::openFailureText(*failure)));
        }
    }
    setEnabled(true);
}

void MainWindow::addReading(const counter::Reading& reading, double timeMs) {
    showStatus(reading.telegram);
    readings_->append(timeMs, reading.value, recording::analysisQuantity(reading.quantity));
    log_->showNewRows();
    graphPage_->addReading(timeMs / 1000, reading);
    stabilityPage_->readingsAdded();
    dynamicPage_->readingsAdded();
    displayPage_->showReading(reading);
}

// Shown as a row of the log and a break of the graph's line, and no deviation term spans it.
void MainWindow::addGap(const recording::Gap& gap) {
    readings_->appendGap(gap);
    log_->showNewRows();
    graphPage_->addGap();
}

// The next connect talks to this instrument; the one connected now stays until then.
void MainWindow::useInstrument(const counter::Instrument& instrument) {
    if (!session_->driver().isConnected()) {
        session_->setInstrument(instrument);
        commandsPage_->showInstrument();
    }
}

// A close while connected disconnects and is refused once; the next close goes ahead.
bool MainWindow::disconnectBeforeClose() {
    if (!session_->driver().isConnected()) {
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
        session_->journal().discard();
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
    connect(session_, &recording::Session::deviceLost, this, [this] {
        showDeviceLost();
        deviceWatch_->start();
    });
    connect(session_, &recording::Session::reconnected, this,
            [this](const std::string& port, std::int64_t lostMs) {
                deviceWatch_->stop();
                showStatus(
                    "Serial device " + port + " reconnected; " +
                    QString::number(static_cast<double>(lostMs) / 1000, 'f', 1).toStdString() +
                    " s lost.");
            });
}

void MainWindow::showDeviceLost() {
    const counter::Driver& driver = session_->driver();
    if (!driver.isConnected()) {
        deviceWatch_->stop();
        return;
    }
    const std::string message =
        "Serial device " + driver.port() + " is gone (unplugged?). Disconnect and connect again.";
    if (statusText() != message) {
        showStatus(message);
    }
}

// Every reading replaces the status text, so the loss is told in a note of its own that stays
// until the next connect: a measurement with gaps must never look complete.
void MainWindow::noteLostTelegrams() {
    lossNote_->setText(QStringLiteral("%1 telegrams lost: the window fell behind the line")
                           .arg(session_->lostTelegrams()));
    lossNote_->show();
}

} // namespace app
