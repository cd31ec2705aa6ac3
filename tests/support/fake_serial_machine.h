// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bluetooth_names.h"
#include "platform/port_catalog.h"

#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <string>

namespace talvek::test {

// A machine in a temporary folder, installed as the system's port catalog while it lives (the
// real machine's comes back on destruction): sysfs, /dev, udev's database, the user's link folder
// and the COM number database beside it. It starts without kernel serial ports; tests link
// pseudo-terminals and plug in fake devices, whose nodes are plain files that do not open.
class FakeSerialMachine {
public:
    struct UsbAdapter {
        std::string vendor = "0403";
        std::string product = "6001";
        std::string serial;      // empty: the adapter has no serial number
        std::string productName; // the name the adapter gives itself
        std::string interface = "00";
        std::string busPort = "1-1";  // where it is plugged in; gives its /dev/serial/by-path link
        bool factsOnlyInUdev = false; // sysfs without descriptor files, udev's database with them
    };

    FakeSerialMachine();
    ~FakeSerialMachine();
    FakeSerialMachine(const FakeSerialMachine&) = delete;
    FakeSerialMachine& operator=(const FakeSerialMachine&) = delete;

    // Names the device `comName` ("COM3", any letter case) with a link in the link folder.
    void link(const std::string& comName, const std::string& devicePath);
    // Kernel ports.
    void addUart(const std::string& kernelName, int serialType);
    void plugUsb(const std::string& kernelName, const UsbAdapter& adapter);
    void addRfcomm(const std::string& kernelName, const std::string& remoteAddress);
    // A kernel tty without further facts: a tnt null-modem, a console.
    void addTty(const std::string& kernelName);
    void unplug(const std::string& kernelName);

    std::string root() const { return root_.path().toStdString(); }
    std::string node(const std::string& kernelName) const { return root() + "/dev/" + kernelName; }
    std::string numberFile() const { return root() + "/com-numbers"; }
    // A catalog of this machine that asks `names` for the remote Bluetooth devices' names.
    platform::PortCatalog catalog(platform::BluetoothNameSource names = {}) const;

private:
    QTemporaryDir root_;
};

// Processes Qt events until `done` holds or `timeout` passes; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Processes Qt events for `span`.
void pumpFor(std::chrono::milliseconds span);

} // namespace talvek::test
