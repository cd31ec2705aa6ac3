// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace portselect {

// Port kinds, as the selector's kind filter numbers its bits.
enum : std::uint8_t {
    kKindGeneric = 0,
    kKindUsb = 1,
    kKindBluetooth = 2,
    kKindBluetoothIncoming = 3,
    kKindCom0Com = 4,
};

// One serial port as the selector lists it. Texts are UTF-8.
struct PortEntry {
    std::string name; // "COM3"
    std::uint8_t kind = kKindGeneric;
    std::string friendlyName;
    // The remote device of a Bluetooth link: its name, or its address where it has none known.
    std::string bluetoothName;
    std::string deviceNode; // "/dev/ttyUSB0"
};

using PortEntries = std::vector<PortEntry>;

} // namespace portselect
