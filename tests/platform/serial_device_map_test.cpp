#include "platform/serial_comm_registry.h"
#include "platform/serial_device_map.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::MappedPort;
using platform::PortSource;
using platform::SerialDeviceMap;

namespace {

// A machine in a temporary folder: sysfs tty class, /dev and the user's link folder.
class FakeMachine {
public:
    FakeMachine() {
        for (const char* dir : {"/sys/class/tty", "/dev/pts", "/links"}) {
            std::filesystem::create_directories(Root() + dir);
        }
    }
    std::string Root() const { return dir_.path().toStdString(); }
    std::string Dev(const std::string& name) const { return Root() + "/dev/" + name; }

    // A kernel tty: its sysfs entry (with a serial-core port type when given) and its node.
    void KernelPort(const std::string& name, int uartType = -1, bool withNode = true) {
        std::filesystem::create_directories(Root() + "/sys/class/tty/" + name);
        if (uartType >= 0) {
            std::ofstream(Root() + "/sys/class/tty/" + name + "/type") << uartType << "\n";
        }
        if (withNode) {
            Node(name);
        }
    }
    void Node(const std::string& name) const { std::ofstream{Dev(name)}; }
    void Link(const std::string& linkName, const std::string& target) const {
        ASSERT_EQ(::symlink(target.c_str(), (Root() + "/links/" + linkName).c_str()), 0);
    }
    void AgeLink(const std::string& linkName) const {
        const timespec longAgo[2] = {{1000, 0}, {1000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (Root() + "/links/" + linkName).c_str(), longAgo,
                              AT_SYMLINK_NOFOLLOW),
                  0);
    }
    SerialDeviceMap Map() const {
        return SerialDeviceMap(Root() + "/sys", Root() + "/dev", Root() + "/links");
    }

private:
    QTemporaryDir dir_;
};

std::vector<std::pair<std::string, std::string>> NamesAndKernelNames(const SerialDeviceMap& map) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const MappedPort& port : map.Ports()) {
        out.emplace_back(port.Name, port.KernelName);
    }
    return out;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

} // namespace

TEST(SerialDeviceMap, LinksClaimTheirNumbersAndKernelPortsFillTheGapsInFamilyOrder) {
    FakeMachine m;
    m.KernelPort("ttyS0", 4);  // a 16550A
    m.KernelPort("ttyS1", 0);  // 8250 placeholder
    m.KernelPort("ttyS10", 4); // numeric order: after ttyS2
    m.KernelPort("ttyS2", 4);
    m.KernelPort("ttyS3"); // no port type at all
    m.KernelPort("ttyACM0");
    m.KernelPort("ttyUSB0");
    m.KernelPort("ttyUSB1", -1, false); // sysfs entry without a device node
    m.KernelPort("rfcomm0");
    m.KernelPort("tnt0");
    m.KernelPort("tty1"); // a console, never a serial port
    m.KernelPort("ttyprintk");
    m.Node("ttyV7");
    m.Link("COM2", m.Dev("ttyV7"));
    m.Link("com5", m.Dev("ttyV7")); // a second link to the same device is still its own port

    const Pairs expected = {{"COM1", "ttyS0"},   {"COM2", "ttyV7"},   {"COM3", "ttyS2"},
                            {"COM4", "ttyS10"},  {"COM5", "ttyV7"},   {"COM6", "ttyUSB0"},
                            {"COM7", "ttyACM0"}, {"COM8", "rfcomm0"}, {"COM9", "tnt0"}};
    EXPECT_EQ(NamesAndKernelNames(m.Map()), expected);

    const auto ports = m.Map().Ports();
    EXPECT_EQ(ports[1].Source, PortSource::UserLink);
    EXPECT_EQ(ports[1].LinkPath, m.Root() + "/links/COM2");
    EXPECT_EQ(ports[5].Source, PortSource::Usb);
    EXPECT_EQ(ports[5].DevicePath, m.Dev("ttyUSB0"));
    EXPECT_TRUE(ports[5].LinkPath.empty());
}

TEST(SerialDeviceMap, ADeviceALinkAlreadyNamesIsNotNumberedTwice) {
    FakeMachine m;
    m.KernelPort("ttyUSB0");
    m.KernelPort("ttyUSB1");
    m.Link("com1", m.Dev("ttyUSB1"));
    EXPECT_EQ(NamesAndKernelNames(m.Map()), (Pairs{{"COM1", "ttyUSB1"}, {"COM2", "ttyUSB0"}}));
}

TEST(SerialDeviceMap, DeadAndMalformedLinksAreNotListed) {
    FakeMachine m;
    m.Node("ttyV1");
    m.Link("com1", m.Dev("gone")); // target removed
    m.Link("com2", m.Dev("ttyV1"));
    m.Link("com0", m.Dev("ttyV1"));  // there is no COM0
    m.Link("com03", m.Dev("ttyV1")); // not a plain number
    m.Link("lpt1", m.Dev("ttyV1"));
    m.Link("comX", m.Dev("ttyV1"));
    EXPECT_EQ(NamesAndKernelNames(m.Map()), (Pairs{{"COM2", "ttyV1"}}));
}

TEST(SerialDeviceMap, AStalePseudoTerminalLinkNeverLeadsToTheTerminalNowUsingItsNumber) {
    FakeMachine m;
    m.Node("pts/3");
    m.Node("pts/4");
    m.Link("com4", m.Dev("pts/3"));
    m.AgeLink("com4"); // made long before the terminal now holding number 3 came to be
    m.Link("com5", m.Dev("pts/4"));
    EXPECT_EQ(NamesAndKernelNames(m.Map()), (Pairs{{"COM5", "pts/4"}}));
    EXPECT_FALSE(m.Map().DeviceFor("COM4"));

    if (::getuid() == 0) {
        ASSERT_EQ(::chown(m.Dev("pts/4").c_str(), 4242, 4242), 0);
        EXPECT_TRUE(m.Map().Ports().empty()) << "somebody else's terminal is never ours to open";
    }
}

TEST(SerialDeviceMap, LooksUpDevicesByComNameWhateverTheLetterCase) {
    FakeMachine m;
    m.KernelPort("ttyUSB0");
    const SerialDeviceMap map = m.Map();
    EXPECT_EQ(map.DeviceFor("com1"), m.Dev("ttyUSB0"));
    EXPECT_EQ(map.DeviceFor("COM1"), m.Dev("ttyUSB0"));
    EXPECT_FALSE(map.DeviceFor("COM2"));
    EXPECT_FALSE(map.DeviceFor("COM01"));
    EXPECT_FALSE(map.DeviceFor("ttyUSB0"));
    EXPECT_FALSE(map.DeviceFor(""));
}

TEST(SerialDeviceMap, SeesPortsComeAndGo) {
    FakeMachine m;
    const SerialDeviceMap map = m.Map();
    EXPECT_TRUE(map.Ports().empty());
    m.KernelPort("ttyACM0");
    EXPECT_EQ(NamesAndKernelNames(map), (Pairs{{"COM1", "ttyACM0"}}));
    std::filesystem::remove(m.Dev("ttyACM0"));
    EXPECT_TRUE(map.Ports().empty());
}

TEST(SerialCommRegistry, PresentsTheMapAsTheSerialCommKey) {
    FakeMachine m;
    m.KernelPort("ttyUSB0");
    m.Node("ttyV9");
    m.Link("COM12", m.Dev("ttyV9"));
    const platform::SerialCommRegistry registry(std::make_shared<SerialDeviceMap>(m.Map()));

    const auto key = registry.OpenKey("\\HARDWARE\\DEVICEMAP\\SERIALCOMM");
    ASSERT_TRUE(key);
    const Pairs values = {{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial11", "COM12"}};
    EXPECT_EQ(key->Values, values);
    EXPECT_TRUE(key->SubKeys.empty());
    EXPECT_EQ(registry.OpenKey("hardware\\devicemap")->SubKeys,
              std::vector<std::string>{"SERIALCOMM"});
    EXPECT_FALSE(registry.OpenKey("SYSTEM\\CurrentControlSet\\Enum"));
}
