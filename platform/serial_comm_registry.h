#pragma once

#include "platform/registry_view.h"
#include "platform/serial_device_map.h"

namespace platform {

// The serial device map as the registry presents it: HARDWARE\DEVICEMAP\SERIALCOMM holds one
// value "\Device\Serial<n-1>" = "COMn" per mapped port, read afresh on every open.
class SerialCommRegistry : public RegistryView {
public:
    explicit SerialCommRegistry(std::shared_ptr<const SerialDeviceMap> map);

    std::optional<RegistryKey> OpenKey(const std::string& path) const override;

private:
    std::shared_ptr<const SerialDeviceMap> map_;
};

} // namespace platform
