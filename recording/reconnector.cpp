// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/reconnector.h"

#include "counter/driver.h"
#include "platform/clock.h"
#include "platform/port_catalog.h"

#include <QTimer>

namespace recording {

Reconnector::Reconnector(counter::Driver& driver, QObject* parent, int pollMs,
                         std::function<std::int64_t()> clockMs)
    : QObject(parent), driver_(driver), poll_(new QTimer(this)),
      clockMs_(clockMs ? std::move(clockMs) : platform::monotonicMs) {
    poll_->setInterval(pollMs);
    connect(poll_, &QTimer::timeout, this, &Reconnector::poll);
    connect(&driver_, &counter::Driver::connectFinished, this, &Reconnector::noteIdentity);
    connect(&driver_, &counter::Driver::deviceLost, this, &Reconnector::startWaiting);
    connect(&driver_, &counter::Driver::reopenFinished, this, &Reconnector::finishReopen);
}

bool Reconnector::waiting() const {
    return poll_->isActive();
}

void Reconnector::noteIdentity(bool connected) {
    poll_->stop();
    identity_.clear();
    if (!connected) {
        return;
    }
    if (const auto port = platform::systemPortCatalog()->find(driver_.port())) {
        identity_ = port->identity;
    }
}

void Reconnector::startWaiting() {
    if (identity_.empty() || poll_->isActive()) {
        return;
    }
    lostAtMs_ = clockMs_();
    poll_->start();
}

void Reconnector::poll() {
    if (!driver_.isConnected()) {
        poll_->stop(); // the user disconnected meanwhile
        return;
    }
    if (driver_.reopening() || !driver_.deviceGone()) {
        return;
    }
    if (const auto port = platform::systemPortCatalog()->findIdentity(identity_)) {
        driver_.setPort(port->comName);
        driver_.reopen();
    }
}

void Reconnector::finishReopen(bool reopened) {
    if (reopened && poll_->isActive()) {
        poll_->stop();
        emit reconnected(driver_.port(), clockMs_() - lostAtMs_);
    }
}

} // namespace recording
