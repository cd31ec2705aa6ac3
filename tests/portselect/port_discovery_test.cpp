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
        {PortKind::Serial, "", "", KindGeneric, ""},
        {PortKind::Usb, "", "", KindUSB, ""},
        {PortKind::Bluetooth, "01:23:45:67:89:AB", "Sensor", KindBluetooth, "Sensor"},
        {PortKind::Bluetooth, "01:23:45:67:89:AB", "", KindBluetooth, "01:23:45:67:89:AB"},
        {PortKind::Bluetooth, "", "", KindBluetooth, ""},
        {PortKind::BluetoothIncoming, "", "", KindBluetoothIn, ""},
        {PortKind::Virtual, "", "", KindCom0Com, ""},
        {PortKind::Usb, "01:23:45:67:89:AB", "not a link", KindUSB, ""},
    };
    for (const Case& c : cases) {
        const PortInfo port{"COM4",    c.kind,       "/dev/x", "Friendly",
                            c.address, c.remoteName, "name:x", ""};
        const TCOMS records = portselect::discoverPorts({port});
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].Kind, c.selectorKind) << c.bluetoothColumn;
        EXPECT_EQ(records[0].BluetoothName, c.bluetoothColumn) << int(c.selectorKind);
        EXPECT_EQ(records[0].Name, "COM4");
        EXPECT_EQ(records[0].FriendlyName, "Friendly");
        EXPECT_EQ(records[0].DeviceNode, "/dev/x");
    }
}

TEST(PortDiscovery, SortIsByLengthThenCharacterCodesAndStable) {
    TCOMS ports = {{"COM13", 0, "a", "", ""}, {"COM3", 0, "b", "", ""},
                   {"COM12", 0, "c", "", ""}, {"COM3", 0, "d", "", ""},
                   {"Com3", 0, "e", "", ""},  {"COM\xe9", 0, "f", "", ""}};
    portselect::sortPortsByName(ports);
    std::vector<std::string> order;
    for (const TCOM& p : ports) {
        order.push_back(p.FriendlyName);
    }
    // "COM3" < "COM\xe9" < "Com3" by unsigned codes; both "COM3" keep their order.
    EXPECT_EQ(order, (std::vector<std::string>{"b", "d", "f", "e", "c", "a"}));
}
