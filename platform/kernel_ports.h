// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_info.h"

#include <string>
#include <vector>

namespace platform {

// Where the machine's facts are read; tests give a fake machine.
struct MachineFolders {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
    std::string udevData = "/run/udev/data";
};

// A serial port the kernel offers: what PortInfo says of it, except its COM name.
struct KernelPort {
    std::string kernelName; // "ttyUSB0"
    PortInfo info;
};

// The kernel's serial ports in the order new ones are numbered: real UARTs (ttyS, without the
// placeholders the 8250 driver registers for ports that are not there), USB adapters (ttyUSB),
// USB modems (ttyACM), Bluetooth links (rfcomm) and null-modem emulators (tnt); each family in
// numeric order. Only ports whose device node exists are listed. Their identities differ: two
// devices that look alike are told apart by where they are plugged in, or by name.
std::vector<KernelPort> kernelSerialPorts(const MachineFolders& folders);

} // namespace platform
