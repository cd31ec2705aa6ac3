#include "platform/serial_comm_registry.h"

namespace platform {

SerialCommRegistry::SerialCommRegistry(std::shared_ptr<const SerialDeviceMap> map)
    : map_(std::move(map)) {}

std::optional<RegistryKey> SerialCommRegistry::OpenKey(const std::string& path) const {
    const std::string key = NormalizeRegistryPath(path);
    if (key.empty()) {
        return RegistryKey{{"HARDWARE"}, {}};
    }
    if (key == "hardware") {
        return RegistryKey{{"DEVICEMAP"}, {}};
    }
    if (key == "hardware\\devicemap") {
        return RegistryKey{{"SERIALCOMM"}, {}};
    }
    if (key != "hardware\\devicemap\\serialcomm") {
        return std::nullopt;
    }
    RegistryKey serialComm;
    for (const MappedPort& port : map_->Ports()) {
        const std::string number = port.Name.substr(3);
        serialComm.Values.emplace_back("\\Device\\Serial" + std::to_string(std::stoi(number) - 1),
                                       port.Name);
    }
    return serialComm;
}

} // namespace platform
