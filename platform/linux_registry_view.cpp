#include "platform/linux_registry_view.h"
#include "platform/ascii_case.h"

#include "platform/rfcomm_address.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace platform {

namespace {

const std::string EnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
const std::string SerialPortProfile = "{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000";
const std::string NoDeviceAddress = "000000000000";

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Key names cannot hold the path separator.
std::string KeyName(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '_');
    return s;
}

// The USB device a tty belongs to: the nearest folder above the tty's device that holds a
// vendor id. Empty when the tty is not on USB.
std::string UsbDeviceFolder(const std::string& sysfsRoot, const std::string& kernelName) {
    char resolved[PATH_MAX];
    if (!::realpath((sysfsRoot + "/class/tty/" + kernelName + "/device").c_str(), resolved)) {
        return {};
    }
    char root[PATH_MAX];
    const std::string top = ::realpath(sysfsRoot.c_str(), root) ? root : sysfsRoot;
    std::string folder = resolved;
    while (folder.size() > top.size() && folder.compare(0, top.size(), top) == 0) {
        if (Exists(folder + "/idVendor")) {
            return folder;
        }
        folder.erase(folder.find_last_of('/'));
    }
    return {};
}

// The key under Enum that `path` names, made unique with the kernel name where two devices
// would share it (adapters without or with equal serial numbers).
std::string UniqueInstance(const MemoryRegistry& registry, const std::string& path,
                           const std::string& kernelName) {
    return registry.OpenKey(EnumKey + path) ? path + "&" + KeyName(kernelName) : path;
}

void AddInstance(MemoryRegistry& registry, const std::string& path, const MappedPort& port,
                 const std::string& friendlyName) {
    registry.SetValue(EnumKey + path, "FriendlyName", friendlyName);
    registry.SetValue(EnumKey + path + "\\Device Parameters", "PortName", port.Name);
}

void AddUsbInstance(MemoryRegistry& registry, const MappedPort& port,
                    const std::string& sysfsRoot) {
    const std::string usb = UsbDeviceFolder(sysfsRoot, port.KernelName);
    std::string vendor = "0000";
    std::string product = "0000";
    std::string serial;
    std::string productName;
    if (!usb.empty()) {
        vendor = AsciiUpper(FirstLine(usb + "/idVendor"));
        product = AsciiUpper(FirstLine(usb + "/idProduct"));
        serial = FirstLine(usb + "/serial");
        productName = FirstLine(usb + "/product");
    }
    const std::string instance = "USB\\VID_" + vendor + "&PID_" + product + "\\" +
                                 KeyName(serial.empty() ? port.KernelName : serial);
    AddInstance(registry, UniqueInstance(registry, instance, port.KernelName), port,
                (productName.empty() ? "" : productName + " ") + "USB Serial Port (" + port.Name +
                    ")");
}

// Returns the remote address as twelve upper-case hex digits, empty where it is unknown.
std::string AddBluetoothInstance(MemoryRegistry& registry, const MappedPort& port,
                                 const std::string& sysfsRoot) {
    std::string address = FirstLine(sysfsRoot + "/class/tty/" + port.KernelName + "/address");
    if (address.empty()) {
        address = RfcommRemoteAddress(port.KernelName);
    }
    std::string digits;
    for (char c : address) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (digits.size() != 12) {
        digits.clear();
    }
    const std::string index = port.KernelName.substr(std::string("rfcomm").size());
    AddInstance(registry,
                "BTHENUM\\" + SerialPortProfile + "\\8&" + index + "&" + digits + "_C00000000",
                port, "Standard Serial over Bluetooth link (" + port.Name + ")");
    return digits;
}

std::string ColonAddress(const std::string& digits) {
    std::string address;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        address += (i ? ":" : "") + digits.substr(i, 2);
    }
    return address;
}

// Adds SYSTEM\CurrentControlSet\Enum with the device instances of `ports`, reading USB
// descriptors and Bluetooth addresses below `sysfsRoot`.
void AddDeviceInstances(MemoryRegistry& registry, const std::vector<MappedPort>& ports,
                        const std::string& sysfsRoot, const BluetoothNameSource& bluetoothNames) {
    registry.AddKey(EnumKey);
    std::vector<std::string> remoteDevices;
    int virtualPorts = 0;
    for (const MappedPort& port : ports) {
        switch (port.Source) {
        case PortSource::Uart:
            AddInstance(registry,
                        UniqueInstance(registry, "ACPI\\PNP0501\\" + port.KernelName.substr(4),
                                       port.KernelName),
                        port, "Communications Port (" + port.Name + ")");
            break;
        case PortSource::Usb:
        case PortSource::Acm:
            AddUsbInstance(registry, port, sysfsRoot);
            break;
        case PortSource::Rfcomm:
            if (std::string digits = AddBluetoothInstance(registry, port, sysfsRoot);
                !digits.empty() && digits != NoDeviceAddress) {
                remoteDevices.push_back(digits);
            }
            break;
        case PortSource::UserLink:
        case PortSource::Tnt:
            AddInstance(registry, "ROOT\\COM0COM\\" + std::to_string(virtualPorts++), port,
                        "com0com - serial port emulator (" + port.Name + ")");
            break;
        }
    }
    if (remoteDevices.empty() || !bluetoothNames) {
        return;
    }
    const BluetoothNames names = bluetoothNames();
    for (const std::string& digits : remoteDevices) {
        const auto found = names.find(ColonAddress(digits));
        if (found != names.end()) {
            registry.SetValue(EnumKey + "BTHENUM\\Dev_" + digits + "\\BluetoothDevice_" + digits,
                              "FriendlyName", found->second);
        }
    }
}

} // namespace

LinuxRegistryView::LinuxRegistryView(std::string sysfsRoot, std::string devRoot,
                                     std::string linkFolder, BluetoothNameSource bluetoothNames)
    : map_(std::make_shared<SerialDeviceMap>(sysfsRoot, std::move(devRoot), std::move(linkFolder))),
      serialComm_(map_), sysfsRoot_(std::move(sysfsRoot)),
      bluetoothNames_(std::move(bluetoothNames)) {}

std::shared_ptr<const MemoryRegistry> LinuxRegistryView::DeviceTree(bool fresh) const {
    std::lock_guard lock(treeMutex_);
    if (fresh || !tree_) {
        auto tree = std::make_shared<MemoryRegistry>();
        AddDeviceInstances(*tree, map_->Ports(), sysfsRoot_, bluetoothNames_);
        tree_ = std::move(tree);
    }
    return tree_;
}

std::optional<RegistryKey> LinuxRegistryView::OpenKey(const std::string& path) const {
    const std::string key = NormalizeRegistryPath(path);
    if (key.empty()) {
        return RegistryKey{{"HARDWARE", "SYSTEM"}, {}};
    }
    if (key == "hardware" || key.rfind("hardware\\", 0) == 0) {
        // Discovery starts at the device map: read the machine afresh then, so each discovery
        // sees one state of it and its many key opens cost no further sysfs or D-Bus reads.
        const bool deviceMap = key == "hardware\\devicemap\\serialcomm";
        if (deviceMap) {
            DeviceTree(true);
        }
        return serialComm_.OpenKey(path);
    }
    return DeviceTree(false)->OpenKey(path);
}

} // namespace platform
