// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bluetooth_names.h"
#include "platform/kernel_ports.h"
#include "platform/port_info.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The machine's serial ports under their COM names, read afresh by every call, so ports that come
// and go are seen at once. User links "comN" in the link folder name their devices first (a link
// to a device the kernel offers shows that device under the link's number; a link to anything
// else is a virtual port); every other kernel port keeps the number it was first given, kept by
// its identity in the number database beside the link folder, where a device that is gone keeps
// its number reserved and a new one gets the lowest number no device and no link holds.
class PortCatalog {
public:
    explicit PortCatalog(
        MachineFolders machine = {}, std::string linkFolder = {}, // empty: userPortLinkFolder()
        BluetoothNameSource bluetoothNames = [] { return blueZDeviceNames(); });

    // Every port, by number, with the remote devices' names.
    std::vector<PortInfo> ports() const;
    // The port of a COM name (letter case ignored), without asking for remote names; nothing when
    // the name is not a port of the machine. Only this leads from a name to a device.
    std::optional<PortInfo> find(const std::string& comName) const;
    // The port whose device node is `path` or the node a link at `path` leads to
    // (/dev/serial/by-id/...); nothing when no port of the machine is that device.
    std::optional<PortInfo> findDeviceNode(const std::string& path) const;
    // The port of a device that is there now with this identity; nothing while it is gone.
    std::optional<PortInfo> findIdentity(const std::string& identity) const;
    // The COM names, by number.
    std::vector<std::string> comNames() const;

private:
    std::vector<PortInfo> scan(bool withRemoteNames) const;

    MachineFolders machine_;
    std::string linkFolder_;
    std::string numberFile_;
    BluetoothNameSource bluetoothNames_;
};

// The catalog the program opens ports through: the machine's own until another is installed
// (tests install fake machines).
std::shared_ptr<const PortCatalog> systemPortCatalog();
void installSystemPortCatalog(std::shared_ptr<const PortCatalog> catalog);

} // namespace platform
