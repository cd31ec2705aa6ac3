// Port discovery over an arbitrary registry tree. Each input line adds a key ("path") or a text
// value ("path<TAB>name<TAB>text"); a path starting with "@" lies under the serial device map and
// one starting with "~" under the device enumeration tree, so that short inputs reach both.

#include "platform/memory_registry.h"
#include "portselect/port_discovery.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// Deeper than any real device tree; the test registry builds its keys recursively.
constexpr std::size_t MostKeyLevels = 32;

std::string ExpandPath(std::string path) {
    if (!path.empty() && path[0] == '@') {
        path.replace(0, 1, "HARDWARE\\DEVICEMAP\\SERIALCOMM\\");
    } else if (!path.empty() && path[0] == '~') {
        path.replace(0, 1, "SYSTEM\\CurrentControlSet\\Enum\\");
    }
    return path;
}

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(at, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

bool NameBefore(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::MemoryRegistry registry;
    // Texts that a remote Bluetooth device key may announce as its name.
    std::set<std::string> deviceNames;
    for (const std::string& line :
         Split(std::string(reinterpret_cast<const char*>(data), size), '\n')) {
        const std::vector<std::string> fields = Split(line, '\t');
        const std::string path = ExpandPath(fields[0]);
        if (std::count(path.begin(), path.end(), '\\') > static_cast<long>(MostKeyLevels)) {
            continue;
        }
        if (fields.size() < 3) {
            registry.AddKey(path);
            continue;
        }
        registry.SetValue(path, fields[1], fields[2]);
        const std::string normalized = platform::NormalizeRegistryPath(path);
        const std::string devices = "system\\currentcontrolset\\enum\\bthenum\\dev_";
        if (normalized.compare(0, devices.size(), devices) == 0) {
            deviceNames.insert(fields[2]);
        }
    }

    std::set<std::string> mappedNames;
    if (const auto map = registry.OpenKey("HARDWARE\\DEVICEMAP\\SERIALCOMM")) {
        for (const auto& value : map->Values) {
            mappedNames.insert(value.second);
        }
    }

    const TCOMS ports = DiscoverPorts(registry);
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const TCOM& port = ports[i];
        FUZZ_CHECK(mappedNames.count(port.Name) == 1);
        FUZZ_CHECK(i == 0 || !NameBefore(port.Name, ports[i - 1].Name));
        const std::uint8_t announced = PortKindFromFriendlyName(port.FriendlyName);
        FUZZ_CHECK(port.Kind == announced ||
                   (port.Kind == KindBluetoothIn && announced == KindBluetooth));
        const bool devKey = port.BluetoothName.compare(0, 4, "Dev_") == 0;
        if (port.Kind == KindBluetoothIn) {
            FUZZ_CHECK(port.BluetoothName.empty());
        } else if (port.Kind == KindBluetooth) {
            // Its own device key, or a name read from a remote device's key; never another text.
            FUZZ_CHECK(port.BluetoothName.empty() || devKey ||
                       deviceNames.count(port.BluetoothName) == 1);
        } else {
            FUZZ_CHECK(port.BluetoothName.empty() || devKey);
        }
    }
    return 0;
}
