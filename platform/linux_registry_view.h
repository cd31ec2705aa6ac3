#pragma once

#include "platform/bluetooth_names.h"
#include "platform/memory_registry.h"
#include "platform/serial_comm_registry.h"
#include "platform/serial_device_map.h"

#include <memory>
#include <mutex>
#include <string>

namespace platform {

// The registry that port discovery reads, made from this machine: the serial device map under
// HARDWARE\DEVICEMAP\SERIALCOMM, and under SYSTEM\CurrentControlSet\Enum one device instance per
// mapped port whose friendly name carries its kind (real UART, USB adapter, Bluetooth serial link,
// user link), plus the names of the remote Bluetooth devices.
class LinuxRegistryView : public RegistryView {
public:
    explicit LinuxRegistryView(
        std::string sysfsRoot = "/sys", std::string devRoot = "/dev",
        std::string linkFolder = {}, // empty: UserPortLinkFolder()
        BluetoothNameSource bluetoothNames = [] { return BlueZDeviceNames(); });

    std::optional<RegistryKey> OpenKey(const std::string& path) const override;

private:
    std::shared_ptr<const MemoryRegistry> DeviceTree(bool fresh) const;

    std::shared_ptr<const SerialDeviceMap> map_;
    SerialCommRegistry serialComm_;
    std::string sysfsRoot_;
    BluetoothNameSource bluetoothNames_;

    mutable std::mutex treeMutex_;
    mutable std::shared_ptr<const MemoryRegistry> tree_;
};

} // namespace platform
