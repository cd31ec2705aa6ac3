// SPDX-License-Identifier: GPL-3.0-or-later
#include "portselect/port_discovery.h"

#include <gtest/gtest.h>

using platform::PortInfo;
using platform::PortKind;

TEST(PortDiscovery, EachPortKindGetsItsSelectorKindAndBluetoothColumn) {
    struct Case {
        PortKind kind;
        const char* address;
        const char* remoteName;
        std::uint8_t selectorKind;
        const char* bluetoothColumn;
    };
    const Case cases[] = {
        {PortKind::Serial, "", "", portselect::kKindGeneric, ""},
        {PortKind::Usb, "", "", portselect::kKindUsb, ""},
        {PortKind::Bluetooth, "01:23:45:67:89:AB", "Sensor", portselect::kKindBluetooth, "Sensor"},
        {PortKind::Bluetooth, "01:23:45:67:89:AB", "", portselect::kKindBluetooth,
         "01:23:45:67:89:AB"},
        {PortKind::Bluetooth, "", "", portselect::kKindBluetooth, ""},
        {PortKind::BluetoothIncoming, "", "", portselect::kKindBluetoothIncoming, ""},
        {PortKind::Virtual, "", "", portselect::kKindCom0Com, ""},
        {PortKind::Usb, "01:23:45:67:89:AB", "not a link", portselect::kKindUsb, ""},
    };
    for (const Case& c : cases) {
        const PortInfo port{"COM4",    c.kind,       "/dev/x", "Friendly",
                            c.address, c.remoteName, "name:x", ""};
        const portselect::PortEntries records = portselect::discoverPorts({port});
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].kind, c.selectorKind) << c.bluetoothColumn;
        EXPECT_EQ(records[0].bluetoothName, c.bluetoothColumn) << int(c.selectorKind);
        EXPECT_EQ(records[0].name, "COM4");
        EXPECT_EQ(records[0].friendlyName, "Friendly");
        EXPECT_EQ(records[0].deviceNode, "/dev/x");
    }
}

TEST(PortDiscovery, SortIsByLengthThenCharacterCodesAndStable) {
    portselect::PortEntries ports = {{"COM13", 0, "a", "", ""}, {"COM3", 0, "b", "", ""},
                                     {"COM12", 0, "c", "", ""}, {"COM3", 0, "d", "", ""},
                                     {"Com3", 0, "e", "", ""},  {"COM\xe9", 0, "f", "", ""}};
    portselect::sortPortsByName(ports);
    std::vector<std::string> order;
    for (const portselect::PortEntry& p : ports) {
        order.push_back(p.friendlyName);
    }
    // "COM3" < "COM\xe9" < "Com3" by unsigned codes; both "COM3" keep their order.
    EXPECT_EQ(order, (std::vector<std::string>{"b", "d", "f", "e", "c", "a"}));
}
