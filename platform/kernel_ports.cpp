// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kernel_ports.h"

#include "platform/ascii_case.h"
#include "platform/rfcomm_address.h"
#include "platform/udev_properties.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>

namespace platform {

namespace {

const char* const kNoRemoteDevice = "00:00:00:00:00:00";

enum class Family { Uart, Usb, Acm, Rfcomm, Tnt };

struct FamilyPrefix {
    const char* prefix;
    Family family;
};
constexpr FamilyPrefix kFamilies[] = {{"ttyS", Family::Uart},
                                      {"ttyUSB", Family::Usb},
                                      {"ttyACM", Family::Acm},
                                      {"rfcomm", Family::Rfcomm},
                                      {"tnt", Family::Tnt}};

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        return std::nullopt;
    }
    return std::string(resolved);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.pop_back();
    }
    return line;
}

// The number after `prefix` when `name` is exactly prefix + decimal digits.
std::optional<int> indexAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        !std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    return std::stoi(name.substr(prefix.size()));
}

// An identity is one line of the number database: control characters become "_".
std::string printable(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            c = '_';
        }
    }
    return text;
}

// A remote address in the usual spelling, "01:23:45:67:89:AB"; empty unless twelve hex digits.
std::string BluetoothAddress(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        } else if (c != ':') {
            return {};
        }
    }
    if (digits.size() != 12) {
        return {};
    }
    std::string address;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        address += (i ? ":" : "") + digits.substr(i, 2);
    }
    return address;
}

// The udev links under /dev/serial/by-path and by-id, by the device node they lead to.
struct SerialLinks {
    std::map<std::string, std::string> byPath;
    std::map<std::string, std::string> byId;
};

std::map<std::string, std::string> linksByTarget(const std::string& folder) {
    std::map<std::string, std::string> links;
    for (const std::string& name : folderEntries(folder)) {
        if (const auto target = Resolved(folder + "/" + name)) {
            links.emplace(*target, name);
        }
    }
    return links;
}

// The USB facts of a tty: sysfs attributes of its USB device and interface, and udev's
// properties where sysfs has none.
struct UsbFacts {
    std::string vendor;
    std::string product;
    std::string serial;
    std::string interface;
    std::string productName;
};

UsbFacts readUsbFacts(const std::string& sysfs, const std::string& ttyFolder,
                      const UdevProperties& udev) {
    UsbFacts facts;
    const auto device = Resolved(ttyFolder + "/device");
    const std::string top = Resolved(sysfs).value_or(sysfs);
    for (std::string folder = device.value_or(std::string());
         folder.size() > top.size() && folder.compare(0, top.size(), top) == 0;
         folder.erase(folder.find_last_of('/'))) {
        if (facts.interface.empty() && exists(folder + "/bInterfaceNumber")) {
            facts.interface = firstLine(folder + "/bInterfaceNumber");
        }
        if (exists(folder + "/idVendor")) {
            facts.vendor = firstLine(folder + "/idVendor");
            facts.product = firstLine(folder + "/idProduct");
            facts.serial = firstLine(folder + "/serial");
            facts.productName = firstLine(folder + "/product");
            break;
        }
    }
    const auto fill = [&udev](std::string& fact, const char* key) {
        const auto found = udev.find(key);
        if (fact.empty() && found != udev.end()) {
            fact = found->second;
        }
    };
    fill(facts.vendor, "ID_VENDOR_ID");
    fill(facts.product, "ID_MODEL_ID");
    fill(facts.serial, "ID_SERIAL_SHORT");
    fill(facts.interface, "ID_USB_INTERFACE_NUM");
    fill(facts.productName, "ID_MODEL_FROM_DATABASE");
    facts.vendor = asciiLower(facts.vendor);
    facts.product = asciiLower(facts.product);
    return facts;
}

// Where the device is plugged in, else what udev calls it, else its kernel name.
std::string placeIdentity(const KernelPort& port, const SerialLinks& links) {
    if (const auto path = links.byPath.find(port.info.deviceNode); path != links.byPath.end()) {
        return "path:" + path->second;
    }
    if (const auto id = links.byId.find(port.info.deviceNode); id != links.byId.end()) {
        return "id:" + id->second;
    }
    return "name:" + port.kernelName;
}

void describe(KernelPort& port, Family family, const MachineFolders& folders,
              const SerialLinks& links) {
    const std::string ttyFolder = folders.sysfs + "/class/tty/" + port.kernelName;
    PortInfo& info = port.info;
    switch (family) {
    case Family::Uart:
        info.kind = PortKind::Serial;
        info.friendlyName = kUartPortName;
        info.identity = placeIdentity(port, links);
        break;
    case Family::Usb:
    case Family::Acm: {
        const UsbFacts usb =
            readUsbFacts(folders.sysfs, ttyFolder,
                         readUdevProperties(folders.udevData, firstLine(ttyFolder + "/dev")));
        info.kind = PortKind::Usb;
        info.friendlyName = usb.productName.empty() ? kUsbPortName : usb.productName;
        info.identity = usb.serial.empty() ? placeIdentity(port, links)
                                           : "usb:" + usb.vendor + ":" + usb.product + ":" +
                                                 usb.serial + ":" + usb.interface;
        break;
    }
    case Family::Rfcomm: {
        std::string address = BluetoothAddress(firstLine(ttyFolder + "/address"));
        if (address.empty()) {
            address = BluetoothAddress(rfcommRemoteAddress(port.kernelName));
        }
        const bool incoming = address == kNoRemoteDevice;
        info.kind = incoming ? PortKind::BluetoothIncoming : PortKind::Bluetooth;
        info.friendlyName = kBluetoothPortName;
        info.bluetoothAddress = incoming ? std::string() : address;
        info.identity = info.bluetoothAddress.empty() ? placeIdentity(port, links)
                                                      : "bluetooth:" + info.bluetoothAddress;
        break;
    }
    case Family::Tnt:
        info.kind = PortKind::Virtual;
        info.friendlyName = kVirtualPortName;
        info.identity = placeIdentity(port, links);
        break;
    }
    info.identity = printable(info.identity);
}

// A real UART: the serial core reports a port type other than "unknown" (0).
bool isRealUart(const std::string& ttyFolder) {
    std::ifstream in(ttyFolder + "/type");
    int type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

} // namespace

std::vector<KernelPort> kernelSerialPorts(const MachineFolders& folders) {
    const std::string ttyClass = folders.sysfs + "/class/tty";
    const std::vector<std::string> ttys = folderEntries(ttyClass);
    const SerialLinks links{linksByTarget(folders.dev + "/serial/by-path"),
                            linksByTarget(folders.dev + "/serial/by-id")};
    std::vector<KernelPort> ports;
    std::set<std::string> identities;
    for (const FamilyPrefix& family : kFamilies) {
        std::map<int, std::string> members; // numeric order: ttyS2 before ttyS10
        for (const std::string& name : ttys) {
            if (const auto index = indexAfter(name, family.prefix)) {
                members.emplace(*index, name);
            }
        }
        for (const auto& [index, name] : members) {
            if (family.family == Family::Uart && !isRealUart(ttyClass + "/" + name)) {
                continue;
            }
            const auto node = Resolved(folders.dev + "/" + name);
            if (!node) {
                continue;
            }
            KernelPort port{name, {}};
            port.info.deviceNode = *node;
            describe(port, family.family, folders, links);
            if (!identities.insert(port.info.identity).second) {
                port.info.identity += "@" + placeIdentity(port, links);
                identities.insert(port.info.identity);
            }
            ports.push_back(std::move(port));
        }
    }
    return ports;
}

} // namespace platform
