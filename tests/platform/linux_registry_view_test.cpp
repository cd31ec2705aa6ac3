#include "platform/linux_registry_view.h"
#include "portselect/port_discovery.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using platform::LinuxRegistryView;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

// A machine in a temporary folder: sysfs, /dev and the user's link folder.
class FakeMachine {
public:
    FakeMachine() : root_(dir_.path().toStdString()) {
        fs::create_directories(Sys() / "class/tty");
        fs::create_directories(Dev() / "pts");
        fs::create_directories(Links());
    }
    fs::path Sys() const { return root_ / "sys"; }
    fs::path Dev() const { return root_ / "dev"; }
    fs::path Links() const { return root_ / "links"; }

    void AddUart(const std::string& name, int type) {
        WriteFile(Sys() / "class/tty" / name / "type", std::to_string(type));
        WriteFile(Dev() / name, "");
    }
    // A tty whose device hangs below a USB device with the given descriptor files.
    void AddUsbTty(const std::string& name, const std::string& usbDevice,
                   const std::map<std::string, std::string>& descriptor) {
        const fs::path usb = Sys() / "devices/pci0000:00/usb1" / usbDevice;
        for (const auto& [file, text] : descriptor) {
            WriteFile(usb / file, text);
        }
        const fs::path ttyDevice = usb / (usbDevice + ":1.0") / name;
        fs::create_directories(ttyDevice);
        fs::create_directories(Sys() / "class/tty" / name);
        fs::create_directory_symlink(ttyDevice, Sys() / "class/tty" / name / "device");
        WriteFile(Dev() / name, "");
    }
    void AddRfcomm(const std::string& name, const std::string& address) {
        WriteFile(Sys() / "class/tty" / name / "address", address);
        WriteFile(Dev() / name, "");
    }
    void AddLink(const std::string& link, const fs::path& target) {
        fs::create_symlink(target, Links() / link);
    }
    LinuxRegistryView View(platform::BluetoothNameSource names) const {
        return LinuxRegistryView(Sys().string(), Dev().string(), Links().string(),
                                 std::move(names));
    }

private:
    QTemporaryDir dir_;
    fs::path root_;
};

const TCOM* Find(const TCOMS& ports, const std::string& name) {
    for (const TCOM& port : ports) {
        if (port.Name == name) {
            return &port;
        }
    }
    return nullptr;
}

} // namespace

TEST(LinuxRegistryView, DiscoveryFindsEveryKindOfPortOnAFakeMachine) {
    FakeMachine machine;
    machine.AddUart("ttyS0", 4);
    machine.AddUart("ttyS1", 0); // an 8250 placeholder
    machine.AddUsbTty("ttyUSB0", "1-1",
                      {{"idVendor", "0403"},
                       {"idProduct", "6001"},
                       {"serial", "A1B2"},
                       {"product", "FT232R USB UART"}});
    machine.AddUsbTty("ttyACM0", "1-2", {{"idVendor", "2341"}, {"idProduct", "0043"}});
    machine.AddRfcomm("rfcomm0", "01:23:45:67:89:ab");
    machine.AddRfcomm("rfcomm1", "00:00:00:00:00:00");
    machine.AddRfcomm("rfcomm2", "AA:BB:CC:DD:EE:FF");
    WriteFile(machine.Dev() / "tnt0", "");
    machine.AddLink("com12", machine.Dev() / "tnt0");
    machine.AddLink("com9", machine.Dev() / "gone"); // a dead link

    int nameQueries = 0;
    const LinuxRegistryView view = machine.View([&] {
        ++nameQueries;
        return platform::BluetoothNames{{"01:23:45:67:89:AB", "Sensor"}};
    });
    const TCOMS ports = DiscoverPorts(view);

    std::vector<std::string> names;
    for (const TCOM& port : ports) {
        names.push_back(port.Name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM12"}));
    EXPECT_EQ(nameQueries, 1);

    struct Expected {
        const char* name;
        std::uint8_t kind;
        const char* friendlyName;
        const char* bluetoothName;
    };
    const Expected expected[] = {
        {"COM1", KindGeneric, "Communications Port (COM1)", ""},
        {"COM2", KindUSB, "FT232R USB UART USB Serial Port (COM2)", ""},
        {"COM3", KindUSB, "USB Serial Port (COM3)", ""},
        {"COM4", KindBluetooth, "Standard Serial over Bluetooth link (COM4)", "Sensor"},
        {"COM5", KindBluetoothIn, "Standard Serial over Bluetooth link (COM5)", ""},
        {"COM6", KindBluetooth, "Standard Serial over Bluetooth link (COM6)", "Dev_AABBCCDDEEFF"},
        {"COM12", KindCom0Com, "com0com - serial port emulator (COM12)", ""},
    };
    for (const Expected& e : expected) {
        const TCOM* port = Find(ports, e.name);
        ASSERT_NE(port, nullptr) << e.name;
        EXPECT_EQ(port->Kind, e.kind) << e.name;
        EXPECT_EQ(port->FriendlyName, e.friendlyName) << e.name;
        EXPECT_EQ(port->BluetoothName, e.bluetoothName) << e.name;
    }
}

TEST(LinuxRegistryView, InstancesCarryUsbIdsAndBluetoothAddresses) {
    FakeMachine machine;
    machine.AddUsbTty("ttyUSB0", "1-1",
                      {{"idVendor", "0403"}, {"idProduct", "6001"}, {"serial", "X"}});
    // Same vendor, product and serial: the second key must not hide the first.
    machine.AddUsbTty("ttyUSB1", "1-2",
                      {{"idVendor", "0403"}, {"idProduct", "6001"}, {"serial", "X"}});
    machine.AddRfcomm("rfcomm3", "01:23:45:67:89:ab");
    const LinuxRegistryView view = machine.View({});

    ASSERT_TRUE(view.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM"));
    const auto usb = view.OpenKey("SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0403&PID_6001");
    ASSERT_TRUE(usb);
    EXPECT_EQ(usb->SubKeys, (std::vector<std::string>{"X", "X&ttyUSB1"}));
    const auto parameters = view.OpenKey(
        "SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0403&PID_6001\\X&ttyUSB1\\Device Parameters");
    ASSERT_TRUE(parameters);
    EXPECT_EQ(parameters->Text("PortName"), "COM2");

    EXPECT_TRUE(view.OpenKey("SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\{00001101-0000-1000-8000-"
                             "00805F9B34FB}_LOCALMFG&0000\\8&3&0123456789AB_C00000000"));
    // Without a name source no remote device key exists; the "Dev_" key stays visible.
    EXPECT_FALSE(view.OpenKey("SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\Dev_0123456789AB"));
}

TEST(LinuxRegistryView, EachDiscoverySeesTheMachineAfresh) {
    FakeMachine machine;
    machine.AddUart("ttyS0", 4);
    const LinuxRegistryView view = machine.View({});
    EXPECT_EQ(DiscoverPorts(view).size(), 1u);

    WriteFile(machine.Dev() / "tnt0", "");
    machine.AddLink("com5", machine.Dev() / "tnt0");
    const TCOMS after = DiscoverPorts(view);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].Name, "COM5");

    fs::remove(machine.Dev() / "tnt0");
    EXPECT_EQ(DiscoverPorts(view).size(), 1u);
}

TEST(LinuxRegistryView, EmptyMachineHasAnEmptyDeviceMap) {
    FakeMachine machine;
    const LinuxRegistryView view = machine.View({});
    const auto serialComm = view.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    ASSERT_TRUE(serialComm);
    EXPECT_TRUE(serialComm->Values.empty());
    EXPECT_TRUE(DiscoverPorts(view).empty());
}
