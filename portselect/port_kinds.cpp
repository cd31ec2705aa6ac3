// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_kinds.h"

#include "portselect/port_entry.h"

#include <array>

namespace portselect {
namespace {

constexpr std::array<PortKindNames, 5> kPortKinds{{
    {"serial", "generic", "Generic"},              // kKindGeneric
    {"usb", "USB", "USB"},                         // kKindUsb
    {"bluetooth", "Bluetooth", "Bluetooth"},       // kKindBluetooth
    {"bluetooth-in", "Bluetooth", "Bluetooth-In"}, // kKindBluetoothIncoming
    {"virtual", "COM0COM", "Com0Com"},             // kKindCom0Com
}};
static_assert(kPortKinds.size() == kKindCom0Com + 1);

} // namespace

std::span<const PortKindNames> portKindNames() {
    return kPortKinds;
}

std::string_view linuxKindName(std::uint8_t kind) {
    return kind < kPortKinds.size() ? kPortKinds[kind].linuxName : kPortKinds[0].linuxName;
}

} // namespace portselect
