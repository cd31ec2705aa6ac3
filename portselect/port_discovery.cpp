#include "portselect/port_discovery.h"
#include "platform/ascii_case.h"

#include "platform/registry_view.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

const char* const SerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
const char* const EnumKey = "\\System\\CurrentControlSet\\Enum\\";
const char* const BluetoothEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\BTHENUM\\";
// An incoming Bluetooth port has no remote device; its address reads as all zeros.
const char* const NoDeviceAddress = "000000000000";

bool NameBefore(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

void LookUpBluetoothName(const platform::RegistryView& registry, TCOM& port) {
    if (port.BluetoothName.find(NoDeviceAddress) != std::string::npos) {
        port.BluetoothName.clear();
        port.Kind = KindBluetoothIn;
        return;
    }
    // Without a device key the lookup would open BTHENUM itself and could pick an unrelated
    // device's name.
    if (port.BluetoothName.empty()) {
        return;
    }
    const std::string deviceKeyPath = BluetoothEnumKey + port.BluetoothName;
    const auto deviceKey = registry.OpenKey(deviceKeyPath);
    if (!deviceKey) {
        return;
    }
    if (deviceKey->SubKeys.empty()) {
        port.BluetoothName.clear();
        return;
    }
    if (const auto first = registry.OpenKey(deviceKeyPath + "\\" + deviceKey->SubKeys.front())) {
        port.BluetoothName = first->Text("FriendlyName");
    }
}

} // namespace

std::string FindPortDevice(const platform::RegistryView& registry, const std::string& keyPath,
                           const std::string& portName, TCOMS& AllPorts) {
    const auto key = registry.OpenKey(keyPath);
    if (!key) {
        return {};
    }
    for (const std::string& subKey : key->SubKeys) {
        const std::string instancePath = keyPath + subKey + "\\";
        if (const auto parameters = registry.OpenKey(instancePath + "Device Parameters")) {
            if (parameters->Text("PortName") == portName) {
                const auto instance = registry.OpenKey(instancePath);
                std::string friendlyName =
                    instance ? instance->Text("FriendlyName") : std::string();
                AllPorts.push_back({portName, KindGeneric, friendlyName, instancePath});
                if (!friendlyName.empty()) {
                    return friendlyName;
                }
            }
            continue;
        }
        const auto instance = registry.OpenKey(instancePath);
        if (instance && !instance->SubKeys.empty()) {
            std::string found = FindPortDevice(registry, instancePath, portName, AllPorts);
            if (!found.empty()) {
                return found;
            }
        }
    }
    return {};
}

std::uint8_t PortKindFromFriendlyName(const std::string& friendlyName) {
    const std::string lower = AsciiLower(friendlyName);
    std::uint8_t kind = KindGeneric;
    if (lower.find("com0com") != std::string::npos) {
        kind = KindCom0Com;
    }
    if (lower.find("bluetooth") != std::string::npos) {
        kind = KindBluetooth;
    }
    if (lower.find("usb") != std::string::npos) {
        kind = KindUSB;
    }
    return kind;
}

std::string BluetoothDeviceKey(const std::string& deviceKeyPath) {
    if (deviceKeyPath.find("BTHENUM") == std::string::npos) {
        return {};
    }
    const auto underscore = deviceKeyPath.rfind('_');
    if (underscore == std::string::npos || underscore == 0) {
        return {};
    }
    const auto ampersand = deviceKeyPath.rfind('&', underscore - 1);
    if (ampersand == std::string::npos) {
        return {};
    }
    return "Dev_" + AsciiUpper(deviceKeyPath.substr(ampersand + 1, underscore - ampersand - 1));
}

void SortPortsByName(TCOMS& ports) {
    if (ports.size() < 2) {
        return;
    }
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < ports.size(); ++i) {
            if (NameBefore(ports[i + 1].Name, ports[i].Name)) {
                std::swap(ports[i], ports[i + 1]);
                swapped = true;
            }
        }
    }
}

TCOMS DiscoverPorts(const platform::RegistryView& registry) {
    TCOMS AllPorts;
    const auto serialComm = registry.OpenKey(SerialCommKey);
    if (!serialComm) {
        return AllPorts;
    }
    for (const auto& [valueName, portName] : serialComm->Values) {
        FindPortDevice(registry, EnumKey, portName, AllPorts);
    }
    for (TCOM& port : AllPorts) {
        port.Kind = PortKindFromFriendlyName(port.FriendlyName);
    }
    for (TCOM& port : AllPorts) {
        port.BluetoothName = BluetoothDeviceKey(port.BluetoothName);
    }
    for (TCOM& port : AllPorts) {
        if (port.Kind == KindBluetooth) {
            LookUpBluetoothName(registry, port);
        }
    }
    SortPortsByName(AllPorts);
    return AllPorts;
}
