// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

class QTimer;

namespace counter {
class Driver;
}

namespace recording {

// Brings an instrument session back after its device was unplugged, without the user.
//
// At every successful connect it notes the identity of the connected port in the system's port
// catalog (the USB adapter's vendor, product, serial number and interface, else its by-path or
// by-id link, else the device or link name: platform::PortInfo::identity). When the driver
// reports deviceLost it polls the catalog every `pollMs` for a device of that identity; once one
// is there it points the driver at that device's COM name and lets it reopen and identify the
// counter (counter::Driver::reopen, which refuses a counter that identifies differently and then
// leaves the device closed). A device of any other identity is never opened. Polling goes on
// until the counter is back or the driver is disconnected.
//
// The driver keeps its connection all the while, so whatever logs its readings goes on into the
// same log after `reconnected`. Create one beside the driver, on the main thread; it only
// listens to the driver's signals and the catalog, and needs no calls of its own.
class Reconnector : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 500;

    explicit Reconnector(counter::Driver& driver, QObject* parent = nullptr, int pollMs = kPollMs,
                         std::function<std::int64_t()> clockMs = {});

    // Waiting for the lost device to come back.
    bool waiting() const;

signals:
    // The counter is back on `port` after `lostMs` milliseconds without it.
    void reconnected(const std::string& port, std::int64_t lostMs);

private:
    void noteIdentity(bool connected);
    void startWaiting();
    void poll();
    void finishReopen(bool reopened);

    counter::Driver& driver_;
    QTimer* poll_;
    std::function<std::int64_t()> clockMs_;
    std::string identity_; // of the connected port; empty when the catalog did not know it
    std::int64_t lostAtMs_ = 0;
};

} // namespace recording
