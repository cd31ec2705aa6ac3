// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

enum class PortKind {
    Serial,            // a UART on the machine
    Usb,               // a USB serial adapter or modem
    Bluetooth,         // a Bluetooth serial link to a remote device
    BluetoothIncoming, // a Bluetooth serial link that waits for a remote device
    Virtual,           // a pseudo-terminal, a null-modem emulator or anything else not a device
};

// The names of ports that carry no product name of their own.
inline constexpr const char* kUartPortName = "Serial port";
inline constexpr const char* kUsbPortName = "USB serial adapter";
inline constexpr const char* kBluetoothPortName = "Bluetooth serial link";
inline constexpr const char* kVirtualPortName = "Virtual serial port";

// One serial port of the machine under its COM name. Texts are UTF-8.
struct PortInfo {
    std::string comName = {}; // "COM3"
    PortKind kind = PortKind::Serial;
    std::string deviceNode = {}; // what opens, links resolved: "/dev/ttyUSB0"
    // The adapter's product name, else one of the names above.
    std::string friendlyName = {};
    std::string bluetoothAddress = {}; // the remote device: "01:23:45:67:89:AB"
    std::string bluetoothName = {};    // the remote device's name, where BlueZ knows one
    // What the COM number is kept by, the same whenever the device comes back:
    // "usb:0403:6001:A1B2C3:00", "path:<by-path link>", "bluetooth:<address>", "name:ttyS0",
    // or "link:com20" for a virtual port named by a user link.
    std::string identity = {};
    std::string linkPath = {}; // the user's link that names the port, else empty
};

} // namespace platform
