// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_discovery.h"

#include <algorithm>

namespace portselect {

namespace {

std::uint8_t kindOf(platform::PortKind kind) {
    switch (kind) {
    case platform::PortKind::Usb:
        return kKindUsb;
    case platform::PortKind::Bluetooth:
        return kKindBluetooth;
    case platform::PortKind::BluetoothIncoming:
        return kKindBluetoothIncoming;
    case platform::PortKind::Virtual:
        return kKindCom0Com;
    case platform::PortKind::Serial:
        break;
    }
    return kKindGeneric;
}

bool nameBefore(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

PortEntries discoverPorts(const std::vector<platform::PortInfo>& ports) {
    PortEntries records;
    for (const platform::PortInfo& port : ports) {
        const bool remoteDevice = port.kind == platform::PortKind::Bluetooth;
        records.push_back({port.comName, kindOf(port.kind), port.friendlyName,
                           !remoteDevice                ? std::string()
                           : port.bluetoothName.empty() ? port.bluetoothAddress
                                                        : port.bluetoothName,
                           port.deviceNode});
    }
    sortPortsByName(records);
    return records;
}

void sortPortsByName(PortEntries& ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
        return nameBefore(a.name, b.name);
    });
}

} // namespace portselect
