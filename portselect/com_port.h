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

// One discovered serial port.
struct TCOM {
    std::string Name; // "COM3", as the serial device map holds it
    std::uint8_t Kind = KindGeneric;
    std::string FriendlyName;
    // The device's key path while discovering, then its "Dev_" key, finally the remote device's
    // name (or the "Dev_" key when the name could not be read, or nothing).
    std::string BluetoothName;
};

using TCOMS = std::vector<TCOM>;
