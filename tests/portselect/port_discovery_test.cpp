#include "platform/memory_registry.h"
#include "portselect/port_discovery.h"

#include <gtest/gtest.h>

using platform::MemoryRegistry;

namespace {

const std::string Enum = "SYSTEM\\CurrentControlSet\\Enum\\";
const std::string SerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

// Lists `portName` in the serial device map under the next free value name.
void MapPort(MemoryRegistry& reg, const std::string& portName) {
    const auto key = reg.OpenKey(SerialComm);
    const std::size_t n = key ? key->Values.size() : 0;
    reg.SetValue(SerialComm, "\\Device\\Serial" + std::to_string(n), portName);
}

void AddInstance(MemoryRegistry& reg, const std::string& instancePath, const std::string& portName,
                 const std::string& friendlyName) {
    reg.SetValue(Enum + instancePath, "FriendlyName", friendlyName);
    reg.SetValue(Enum + instancePath + "\\Device Parameters", "PortName", portName);
}

std::vector<std::string> Names(const TCOMS& ports) {
    std::vector<std::string> names;
    for (const TCOM& port : ports) {
        names.push_back(port.Name);
    }
    return names;
}

} // namespace

TEST(PortDiscovery, MissingDeviceMapGivesNoPorts) {
    MemoryRegistry reg;
    AddInstance(reg, "ACPI\\PNP0501\\1", "COM1", "Communications Port (COM1)");
    EXPECT_TRUE(DiscoverPorts(reg).empty());
}

TEST(PortDiscovery, FindsInstancesAndSortsShorterNamesFirst) {
    MemoryRegistry reg;
    MapPort(reg, "COM12");
    MapPort(reg, "COM3");
    AddInstance(reg, "ACPI\\PNP0501\\1", "COM3", "Communications Port (COM3)");
    AddInstance(reg, "USB\\VID_0403&PID_6001\\A1", "COM12", "USB Serial Port (COM12)");

    const TCOMS ports = DiscoverPorts(reg);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].Name, "COM3");
    EXPECT_EQ(ports[0].Kind, KindGeneric);
    EXPECT_EQ(ports[0].FriendlyName, "Communications Port (COM3)");
    EXPECT_EQ(ports[0].BluetoothName, "");
    EXPECT_EQ(ports[1].Name, "COM12");
    EXPECT_EQ(ports[1].Kind, KindUSB);
}

TEST(PortDiscovery, KindFollowsTheFriendlyName) {
    struct Case {
        const char* friendlyName;
        std::uint8_t kind;
    };
    const Case cases[] = {
        {"USB Serial Port (COM7)", KindUSB},
        {"Standard Serial over Bluetooth link (COM5)", KindBluetooth},
        {"com0com - serial port emulator (COM20)", KindCom0Com},
        {"Communications Port (COM1)", KindGeneric},
        {"Bluetooth USB bridge (COM8)", KindUSB},
        {"COM0COM over BLUETOOTH (COM9)", KindBluetooth},
        {"usb com0com pair (COM10)", KindUSB},
        {"", KindGeneric},
    };
    for (const Case& c : cases) {
        MemoryRegistry reg;
        MapPort(reg, "COM4");
        AddInstance(reg, "X\\Y\\1", "COM4", c.friendlyName);
        AddInstance(reg, "X\\Y\\2", "COM4", "fallback after an empty name");
        const TCOMS ports = DiscoverPorts(reg);
        ASSERT_FALSE(ports.empty()) << c.friendlyName;
        EXPECT_EQ(ports[0].Kind, c.kind) << c.friendlyName;
    }
}

TEST(PortDiscovery, SearchSkipsNonMatchingInstancesWithoutDescending) {
    MemoryRegistry reg;
    MapPort(reg, "COM5");
    // An instance of another port whose subtree would carry the wanted name: never entered.
    AddInstance(reg, "ACPI\\PNP0501\\1", "COM1", "Communications Port (COM1)");
    AddInstance(reg, "ACPI\\PNP0501\\1\\Nested", "COM5", "hidden (COM5)");
    AddInstance(reg, "PCI\\VEN_1\\deep\\deeper\\2", "COM5", "PCI Serial (COM5)");

    const TCOMS ports = DiscoverPorts(reg);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].FriendlyName, "PCI Serial (COM5)");
}

TEST(PortDiscovery, PortNameMustMatchExactly) {
    MemoryRegistry reg;
    MapPort(reg, "COM5");
    AddInstance(reg, "ACPI\\PNP0501\\1", "com5", "lower-case name (COM5)");
    EXPECT_TRUE(DiscoverPorts(reg).empty());
}

TEST(PortDiscovery, MappedPortWithoutInstanceIsAbsent) {
    MemoryRegistry reg;
    MapPort(reg, "COM1");
    MapPort(reg, "COM2");
    AddInstance(reg, "ACPI\\PNP0501\\1", "COM1", "Communications Port (COM1)");
    EXPECT_EQ(Names(DiscoverPorts(reg)), (std::vector<std::string>{"COM1"}));
}

TEST(PortDiscovery, EmptyFriendlyNameLetsTheSearchFindASecondInstance) {
    MemoryRegistry reg;
    MapPort(reg, "COM6");
    AddInstance(reg, "ACPI\\PNP0501\\1", "COM6", "");
    AddInstance(reg, "ACPI\\PNP0501\\2", "COM6", "Communications Port (COM6)");
    AddInstance(reg, "ACPI\\PNP0501\\3", "COM6", "never reached (COM6)");

    const TCOMS ports = DiscoverPorts(reg);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].FriendlyName, "");
    EXPECT_EQ(ports[1].FriendlyName, "Communications Port (COM6)");
}

TEST(PortDiscovery, SortIsByLengthThenCharacterCodesAndStable) {
    TCOMS ports = {{"COM13", 0, "a", ""}, {"COM3", 0, "b", ""}, {"COM12", 0, "c", ""},
                   {"COM3", 0, "d", ""},  {"Com3", 0, "e", ""}, {"COM\xe9", 0, "f", ""}};
    SortPortsByName(ports);
    std::vector<std::string> order;
    for (const TCOM& p : ports) {
        order.push_back(p.FriendlyName);
    }
    // "COM3" < "COM\xe9" < "Com3" by unsigned codes; both "COM3" keep their order.
    EXPECT_EQ(order, (std::vector<std::string>{"b", "d", "f", "e", "c", "a"}));

    TCOMS two = {{"COM2", 0, "", ""}, {"COM1", 0, "", ""}};
    SortPortsByName(two);
    EXPECT_EQ(Names(two), (std::vector<std::string>{"COM1", "COM2"}));
}

TEST(PortDiscovery, BluetoothDeviceKeyRule) {
    struct Case {
        const char* path;
        const char* key;
    };
    const Case cases[] = {
        {"\\System\\CurrentControlSet\\Enum\\BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_"
         "LOCALMFG&0000\\8&0&0123456789ab_C00000000\\",
         "Dev_0123456789AB"},
        {"\\Enum\\BTHENUM\\X\\8&0&_C00000000\\", "Dev_"},
        {"\\Enum\\BTHENUM\\X\\nounderscore\\", ""},
        {"\\Enum\\BTHENUM\\X\\no-ampersand_1\\", ""},
        {"\\Enum\\bthenum\\X\\8&0&0123456789AB_C00000000\\", ""},
        {"\\Enum\\USB\\VID_0403&PID_6001\\A1\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BluetoothDeviceKey(c.path), c.key) << c.path;
    }
}

class BluetoothDiscovery : public ::testing::Test {
protected:
    void AddBluetoothPort(const std::string& portName, const std::string& address) {
        MapPort(reg, portName);
        AddInstance(reg,
                    "BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\8&0&" +
                        address + "_C00000000",
                    portName, "Standard Serial over Bluetooth link (" + portName + ")");
    }
    TCOM OnlyPort() {
        const TCOMS ports = DiscoverPorts(reg);
        EXPECT_EQ(ports.size(), 1u);
        return ports.empty() ? TCOM{} : ports[0];
    }
    MemoryRegistry reg;
};

TEST_F(BluetoothDiscovery, NameFoundInFirstSubkeyOfTheDeviceKey) {
    AddBluetoothPort("COM11", "0123456789ab");
    reg.SetValue(Enum + "BTHENUM\\Dev_0123456789AB\\7&1", "FriendlyName", "Sensor");
    reg.SetValue(Enum + "BTHENUM\\Dev_0123456789AB\\7&2", "FriendlyName", "Other");
    const TCOM port = OnlyPort();
    EXPECT_EQ(port.Kind, KindBluetooth);
    EXPECT_EQ(port.BluetoothName, "Sensor");
}

TEST_F(BluetoothDiscovery, DeviceKeyWithoutSubkeysGivesNoName) {
    AddBluetoothPort("COM11", "0123456789AB");
    reg.AddKey(Enum + "BTHENUM\\Dev_0123456789AB");
    EXPECT_EQ(OnlyPort().BluetoothName, "");
}

TEST_F(BluetoothDiscovery, DeviceKeyThatDoesNotOpenShowsTheDevKey) {
    AddBluetoothPort("COM11", "0123456789AB");
    const TCOM port = OnlyPort();
    EXPECT_EQ(port.Kind, KindBluetooth);
    EXPECT_EQ(port.BluetoothName, "Dev_0123456789AB");
}

TEST_F(BluetoothDiscovery, AllZeroAddressIsAnIncomingPort) {
    AddBluetoothPort("COM4", "000000000000");
    reg.SetValue(Enum + "BTHENUM\\Dev_000000000000\\1", "FriendlyName", "must not be used");
    const TCOM port = OnlyPort();
    EXPECT_EQ(port.Kind, KindBluetoothIn);
    EXPECT_EQ(port.BluetoothName, "");
}

TEST_F(BluetoothDiscovery, BluetoothKindOutsideBthenumGetsNoUnrelatedName) {
    MapPort(reg, "COM8");
    AddInstance(reg, "ROOT\\PORTS\\1", "COM8", "Bluetooth dongle port (COM8)");
    reg.SetValue(Enum + "BTHENUM\\Dev_AABBCCDDEEFF\\1", "FriendlyName", "unrelated device");
    const TCOM port = OnlyPort();
    EXPECT_EQ(port.Kind, KindBluetooth);
    EXPECT_EQ(port.BluetoothName, "");
}

TEST_F(BluetoothDiscovery, OtherKindsUnderBthenumKeepTheDevKey) {
    MapPort(reg, "COM9");
    AddInstance(reg, "BTHENUM\\{1}_LOCALMFG&0000\\8&0&AABBCCDDEEFF_C00000000", "COM9",
                "Serial link (COM9)");
    reg.SetValue(Enum + "BTHENUM\\Dev_AABBCCDDEEFF\\1", "FriendlyName", "not looked up");
    const TCOM port = OnlyPort();
    EXPECT_EQ(port.Kind, KindGeneric);
    EXPECT_EQ(port.BluetoothName, "Dev_AABBCCDDEEFF");
}
