// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com_numbers.h"
#include "platform/port_catalog.h"
#include "platform/udev_properties.h"
#include "tests/support/fake_serial_machine.h"
#include "tests/support/pty_pair.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::PortInfo;
using platform::PortKind;
using talvek::test::FakeSerialMachine;
using talvek::test::PtyPair;
using Adapter = FakeSerialMachine::UsbAdapter;

namespace {

using Names = std::vector<std::pair<std::string, std::string>>; // COM name, device node

Names namesAndNodes(const FakeSerialMachine& machine) {
    Names names;
    for (const PortInfo& port : machine.catalog().ports()) {
        names.emplace_back(port.comName, port.deviceNode);
    }
    return names;
}

// The port a COM name names on the machine; a port that is not there reads as an empty one.
PortInfo Find(const platform::PortCatalog& catalog, const std::string& comName) {
    return catalog.find(comName).value_or(PortInfo{});
}

Adapter usb(const std::string& serial, const std::string& busPort) {
    Adapter adapter;
    adapter.serial = serial;
    adapter.busPort = busPort;
    return adapter;
}

void ageLink(const std::string& link) {
    const timespec longAgo[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, link.c_str(), longAgo, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

TEST(PortCatalog, ListsEveryKindOfPortWithItsNodeLinuxNameAndIdentity) {
    FakeSerialMachine m;
    PtyPair pty;
    m.addUart("ttyS0", 4);  // a 16550A
    m.addUart("ttyS1", 0);  // an 8250 placeholder
    m.addUart("ttyS10", 4); // numeric order: after ttyS2
    m.addUart("ttyS2", 4);
    m.addTty("ttyprintk"); // of no serial port family
    Adapter ftdi = usb("A1B2", "1-1");
    ftdi.productName = "FT232R USB UART";
    m.plugUsb("ttyUSB0", ftdi);
    Adapter noSerial = usb("", "1-4");
    m.plugUsb("ttyUSB1", noSerial);
    Adapter acm = usb("X9", "1-2");
    acm.vendor = "2341";
    acm.product = "0043";
    acm.productName = "Z\xc3\xa4hler-Adapter";
    acm.factsOnlyInUdev = true;
    m.plugUsb("ttyACM0", acm);
    m.addRfcomm("rfcomm0", "01:23:45:67:89:ab");
    m.addRfcomm("rfcomm1", "00:00:00:00:00:00");
    m.addRfcomm("rfcomm2", "AA:BB:CC:DD:EE:FF");
    m.addTty("tnt0");
    m.link("com20", pty.slavePath());
    m.link("com9", m.node("gone"));

    int nameQueries = 0;
    const platform::PortCatalog catalog = m.catalog([&] {
        ++nameQueries;
        return platform::BluetoothNames{{"01:23:45:67:89:AB", "Sensor"}};
    });
    const std::vector<PortInfo> ports = catalog.ports();
    EXPECT_EQ(nameQueries, 1);

    struct Expected {
        const char* comName;
        PortKind kind;
        std::string node;
        const char* friendlyName;
        const char* address;
        const char* remoteName;
        std::string identity;
    };
    const Expected expected[] = {
        {"COM1", PortKind::Serial, m.node("ttyS0"), "Serial port", "", "", "name:ttyS0"},
        {"COM2", PortKind::Serial, m.node("ttyS2"), "Serial port", "", "", "name:ttyS2"},
        {"COM3", PortKind::Serial, m.node("ttyS10"), "Serial port", "", "", "name:ttyS10"},
        {"COM4", PortKind::Usb, m.node("ttyUSB0"), "FT232R USB UART", "", "",
         "usb:0403:6001:A1B2:00"},
        {"COM5", PortKind::Usb, m.node("ttyUSB1"), "USB serial adapter", "", "",
         "path:pci-0000:00:14.0-usb-0:4:1.0-port0"},
        {"COM6", PortKind::Usb, m.node("ttyACM0"), "Z\xc3\xa4hler-Adapter", "", "",
         "usb:2341:0043:X9:00"},
        {"COM7", PortKind::Bluetooth, m.node("rfcomm0"), "Bluetooth serial link",
         "01:23:45:67:89:AB", "Sensor", "bluetooth:01:23:45:67:89:AB"},
        {"COM8", PortKind::BluetoothIncoming, m.node("rfcomm1"), "Bluetooth serial link", "", "",
         "name:rfcomm1"},
        {"COM10", PortKind::Bluetooth, m.node("rfcomm2"), "Bluetooth serial link",
         "AA:BB:CC:DD:EE:FF", "", "bluetooth:AA:BB:CC:DD:EE:FF"},
        {"COM11", PortKind::Virtual, m.node("tnt0"), "Virtual serial port", "", "", "name:tnt0"},
        {"COM20", PortKind::Virtual, pty.slavePath(), "Virtual serial port", "", "", "link:com20"},
    };
    ASSERT_EQ(ports.size(), std::size(expected));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const Expected& e = expected[i];
        const PortInfo& port = ports[i];
        EXPECT_EQ(port.comName, e.comName);
        EXPECT_EQ(port.kind, e.kind) << e.comName;
        EXPECT_EQ(port.deviceNode, e.node) << e.comName;
        EXPECT_EQ(port.friendlyName, e.friendlyName) << e.comName;
        EXPECT_EQ(port.bluetoothAddress, e.address) << e.comName;
        EXPECT_EQ(port.bluetoothName, e.remoteName) << e.comName;
        EXPECT_EQ(port.identity, e.identity) << e.comName;
    }
    EXPECT_EQ(Find(catalog, "com7").deviceNode, m.node("rfcomm0"));
    EXPECT_EQ(nameQueries, 1) << "opening a port asks nobody for names";
}

TEST(PortCatalog, ComNumbersStayWithTheirDevicesThroughUnplugAndReplug) {
    FakeSerialMachine m;
    m.plugUsb("ttyUSB0", usb("A", "1-1"));
    m.plugUsb("ttyUSB1", usb("B", "1-2"));
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM1", m.node("ttyUSB0")}, {"COM2", m.node("ttyUSB1")}}));

    m.unplug("ttyUSB0");
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM2", m.node("ttyUSB1")}}))
        << "unplugging the first adapter must not renumber the second";

    m.plugUsb("ttyUSB0", usb("C", "1-1"));
    EXPECT_EQ(Find(m.catalog(), "COM3").deviceNode, m.node("ttyUSB0"))
        << "a new device gets the lowest number no device holds, gone ones included";

    m.plugUsb("ttyUSB2", usb("A", "1-3"));
    EXPECT_EQ(Find(m.catalog(), "COM1").deviceNode, m.node("ttyUSB2")) << "its old number back";

    // Without a serial number an adapter is known by the socket it is plugged into.
    m.plugUsb("ttyUSB3", usb("", "1-5"));
    EXPECT_EQ(Find(m.catalog(), "COM4").deviceNode, m.node("ttyUSB3"));
    m.unplug("ttyUSB3");
    m.plugUsb("ttyUSB7", usb("", "1-5"));
    EXPECT_EQ(Find(m.catalog(), "COM4").deviceNode, m.node("ttyUSB7"));
}

TEST(PortCatalog, AdaptersThatLookAlikeGetNumbersOfTheirOwn) {
    FakeSerialMachine m;
    m.plugUsb("ttyUSB0", usb("SAME", "1-1"));
    m.plugUsb("ttyUSB1", usb("SAME", "1-2"));
    const auto ports = m.catalog().ports();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_NE(ports[0].identity, ports[1].identity);
    EXPECT_EQ(ports[1].comName, "COM2");
}

TEST(PortCatalog, UserLinksClaimTheirNumbersFirst) {
    FakeSerialMachine m;
    PtyPair pty;
    m.link("COM1", pty.slavePath());
    m.link("com3", m.node("gone")); // a virtual port that is not running keeps its number
    m.addUart("ttyS0", 4);
    m.plugUsb("ttyUSB0", usb("A", "1-1"));
    EXPECT_EQ(
        namesAndNodes(m),
        (Names{{"COM1", pty.slavePath()}, {"COM2", m.node("ttyS0")}, {"COM4", m.node("ttyUSB0")}}));
}

TEST(PortCatalog, ALinkToARealDeviceShowsThatDeviceUnderTheLinksNumber) {
    FakeSerialMachine m;
    Adapter first = usb("A", "1-1");
    first.productName = "FT232R USB UART";
    m.plugUsb("ttyUSB0", first);
    m.plugUsb("ttyUSB1", usb("B", "1-2"));
    m.addUart("ttyS0", 4);
    const std::string identity = Find(m.catalog(), "COM2").identity;

    m.link("com17", "/../" + m.node("ttyUSB0")); // any spelling of the path
    m.link("com18", m.node("ttyS0"));
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM3", m.node("ttyUSB1")},
                                       {"COM17", m.node("ttyUSB0")},
                                       {"COM18", m.node("ttyS0")}}))
        << "the other ports keep their numbers";
    const PortInfo renamed = Find(m.catalog(), "COM17");
    EXPECT_EQ(renamed.kind, PortKind::Usb);
    EXPECT_EQ(renamed.friendlyName, "FT232R USB UART");
    EXPECT_EQ(renamed.identity, identity);
    EXPECT_EQ(Find(m.catalog(), "COM18").kind, PortKind::Serial);
}

TEST(PortCatalog, DeadMalformedAndStaleLinksAreNotListed) {
    FakeSerialMachine m;
    PtyPair current;
    PtyPair reused;
    m.link("com2", current.slavePath());
    m.link("com5", current.slavePath()); // a second link to the device: listed once, as COM2
    m.link("com1", m.node("gone"));
    m.link("com0", current.slavePath()); // there is no COM0
    m.link("com03", current.slavePath());
    m.link("lpt1", current.slavePath());
    m.link("comX", current.slavePath());
    m.link("com4", reused.slavePath());
    // Made long before the terminal now holding its number came to be: left behind by a program
    // that ended, it must not lead to somebody else's terminal.
    ageLink(m.root() + "/links/com4");
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM2", current.slavePath()}}));
    EXPECT_FALSE(m.catalog().find("COM4"));
    EXPECT_FALSE(m.catalog().find("COM5"));

    if (::getuid() == 0) {
        ASSERT_EQ(::chown(current.slavePath().c_str(), 4242, 4242), 0);
        EXPECT_TRUE(m.catalog().ports().empty()) << "somebody else's terminal is never ours";
    }
}

// What a link leads to must be a terminal, unless the kernel lists it as a serial port; and
// however many links lead to one device, it is one port, under the lowest number.
TEST(PortCatalog, LinksToWhatIsNoTerminalAreNotPortsAndADeviceIsListedOnce) {
    FakeSerialMachine m;
    PtyPair pty;
    m.plugUsb("ttyUSB0", usb("A", "1-1"));
    const std::string plain = m.root() + "/plain";
    std::ofstream(plain) << "not a device";
    const std::string fifo = m.root() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    m.link("com30", plain);
    m.link("com31", fifo);
    m.link("com32", m.root());
    m.link("com33", "/dev/null");
    m.link("com40", pty.slavePath());
    m.link("com9", pty.slavePath());
    m.link("com41", m.node("ttyUSB0"));
    m.link("com17", m.node("ttyUSB0"));
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM9", pty.slavePath()}, {"COM17", m.node("ttyUSB0")}}));
    for (const char* taken : {"COM30", "COM33", "COM40", "COM41"}) {
        EXPECT_FALSE(m.catalog().find(taken)) << taken;
    }
}

TEST(PortCatalog, OnlyAComNameOfTheMachineLeadsToADevice) {
    FakeSerialMachine m;
    m.plugUsb("ttyUSB0", usb("A", "1-1"));
    for (const char* name : {"com1", "COM1", "Com1"}) {
        EXPECT_EQ(Find(m.catalog(), name).deviceNode, m.node("ttyUSB0")) << name;
    }
    for (const char* name : {"COM2", "COM01", "ttyUSB0", "/dev/ttyUSB0", "COM1 ", ""}) {
        EXPECT_FALSE(m.catalog().find(name)) << name;
    }
}

TEST(PortCatalog, ADamagedNumberFileLosesOnlyItsDamagedLines) {
    FakeSerialMachine m;
    std::ofstream(m.numberFile(), std::ios::binary)
        << std::string("\0\xff\x01 junk\n", 9) << "2 usb:0403:6001:B:00\r\n"
        << "007 usb:0403:6001:A:00\n3\n#4 usb:0403:6001:C:00\n";
    m.plugUsb("ttyUSB0", usb("A", "1-1"));
    m.plugUsb("ttyUSB1", usb("B", "1-2"));
    EXPECT_EQ(namesAndNodes(m), (Names{{"COM1", m.node("ttyUSB0")}, {"COM2", m.node("ttyUSB1")}}));

    std::ifstream in(m.numberFile());
    const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(platform::parseComNumbers(kept),
              (platform::ComNumbers{{"usb:0403:6001:A:00", 1}, {"usb:0403:6001:B:00", 2}}));
}

TEST(ComNumbers, ReadOneDeviceALineAndSkipWhatIsDamaged) {
    const platform::ComNumbers numbers = platform::parseComNumbers("# comment\n"
                                                                   "3 usb:1:2:X:00\n"
                                                                   "12 path:a b c\r\n"
                                                                   "0 name:zero\n"
                                                                   "04 name:leading-zero\n"
                                                                   "1234567 name:too-long\n"
                                                                   "5 \n"
                                                                   "6\tname:tab\n"
                                                                   "7 name:\x01control\n"
                                                                   "3 name:number-again\n"
                                                                   "8 usb:1:2:X:00\n"
                                                                   "9 name:last");
    EXPECT_EQ(numbers,
              (platform::ComNumbers{{"usb:1:2:X:00", 3}, {"path:a b c", 12}, {"name:last", 9}}));
    EXPECT_EQ(platform::parseComNumbers(platform::formatComNumbers(numbers)), numbers);
}

TEST(UdevProperties, AreTheELinesOfARecord) {
    EXPECT_EQ(platform::parseUdevProperties("S:serial/by-id/x\nE:ID_MODEL_ID=0043\n"
                                            "E:ID_MODEL_FROM_DATABASE=Uno R3 (CDC ACM)\n"
                                            "E:=nothing\nEX=1\nE:ID_PATH=a=b"),
              (platform::UdevProperties{{"ID_MODEL_ID", "0043"},
                                        {"ID_MODEL_FROM_DATABASE", "Uno R3 (CDC ACM)"},
                                        {"ID_PATH", "a=b"}}));
}
