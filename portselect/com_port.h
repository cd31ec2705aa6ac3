#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Port kinds, as the selector's kind filter numbers its bits.
enum : std::uint8_t {
    KindGeneric = 0,
    KindUSB = 1,
    KindBluetooth = 2,
    KindBluetoothIn = 3,
    KindCom0Com = 4,
};

// One serial port as the selector lists it. Texts are UTF-8.
struct TCOM {
    std::string Name; // "COM3"
    std::uint8_t Kind = KindGeneric;
    std::string FriendlyName;
    // The remote device of a Bluetooth link: its name, or its address where it has none known.
    std::string BluetoothName;
    std::string DeviceNode; // "/dev/ttyUSB0"
};

using TCOMS = std::vector<TCOM>;
