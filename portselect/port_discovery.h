#pragma once

#include "portselect/com_port.h"

#include <string>

namespace platform {
class RegistryView;
}

// Reads the serial device map and the device enumeration tree and returns one record per port
// that has a device instance, with its kind and Bluetooth name, sorted by name.
TCOMS DiscoverPorts(const platform::RegistryView& registry);

// Depth-first search below `keyPath` for the device instance whose "Device Parameters\PortName"
// is `portName`. Appends the port's record to `AllPorts` when found and returns its friendly name;
// an instance with an empty friendly name lets the search go on.
std::string FindPortDevice(const platform::RegistryView& registry, const std::string& keyPath,
                           const std::string& portName, TCOMS& AllPorts);

// The kind that a friendly name announces: "usb" over "bluetooth" over "com0com".
std::uint8_t PortKindFromFriendlyName(const std::string& friendlyName);

// "Dev_" and the upper-cased device address of a key path under BTHENUM, else empty.
std::string BluetoothDeviceKey(const std::string& deviceKeyPath);

// Shorter names first, equal lengths by character codes; ports with equal names keep their order.
void SortPortsByName(TCOMS& ports);
