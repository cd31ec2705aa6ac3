// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/port_catalog.h"

#include "platform/ascii_case.h"
#include "platform/com_number_file.h"
#include "platform/port_links.h"
#include "platform/terminal_device.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>

namespace platform {

PortCatalog::PortCatalog(MachineFolders machine, std::string linkFolder,
                         BluetoothNameSource bluetoothNames)
    : machine_(std::move(machine)),
      linkFolder_(linkFolder.empty() ? userPortLinkFolder() : std::move(linkFolder)),
      numberFile_(linkFolder_.empty() ? std::string() : comNumberFileBeside(linkFolder_)),
      bluetoothNames_(std::move(bluetoothNames)) {}

std::vector<PortInfo> PortCatalog::scan(bool withRemoteNames) const {
    const std::vector<KernelPort> kernel = kernelSerialPorts(machine_);
    std::map<int, PortInfo> byNumber;
    std::set<int> linkNumbers;
    std::set<std::string> linkedNodes;
    std::vector<PortLink> links = readPortLinks(linkFolder_);
    // Several links to one device list it once, under the lowest number; the others' numbers
    // stay reserved.
    std::stable_sort(links.begin(), links.end(),
                     [](const PortLink& a, const PortLink& b) { return a.number < b.number; });
    for (const PortLink& link : links) {
        linkNumbers.insert(link.number);
        if (!link.target || linkedNodes.count(*link.target)) {
            continue;
        }
        const auto device = std::find_if(kernel.begin(), kernel.end(), [&](const KernelPort& k) {
            return k.info.deviceNode == *link.target;
        });
        // Anything else than a port of the kernel's must at least be a terminal: a regular
        // file, a FIFO, a folder or /dev/null is no serial port.
        if (device == kernel.end() && !isTerminalDevice(*link.target, machine_.sysfs)) {
            continue;
        }
        linkedNodes.insert(*link.target);
        PortInfo port;
        if (device != kernel.end()) {
            port = device->info;
        } else {
            port.kind = PortKind::Virtual;
            port.deviceNode = *link.target;
            port.friendlyName = kVirtualPortName;
            port.identity = "link:com" + std::to_string(link.number);
        }
        port.comName = "COM" + std::to_string(link.number);
        port.linkPath = link.path;
        byNumber.emplace(link.number, std::move(port));
    }

    std::vector<const PortInfo*> numbered;
    std::vector<std::string> identities;
    for (const KernelPort& port : kernel) {
        if (!linkedNodes.count(port.info.deviceNode)) {
            numbered.push_back(&port.info);
            identities.push_back(port.info.identity);
        }
    }
    const std::vector<int> numbers = keepComNumbers(numberFile_, identities, linkNumbers);
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        PortInfo port = *numbered[i];
        port.comName = "COM" + std::to_string(numbers[i]);
        byNumber.emplace(numbers[i], std::move(port));
    }

    std::vector<PortInfo> ports;
    for (auto& entry : byNumber) {
        ports.push_back(std::move(entry.second));
    }
    const bool remoteDevices = std::any_of(
        ports.begin(), ports.end(), [](const PortInfo& p) { return !p.bluetoothAddress.empty(); });
    if (withRemoteNames && remoteDevices && bluetoothNames_) {
        const BluetoothNames names = bluetoothNames_();
        for (PortInfo& port : ports) {
            if (const auto found = names.find(port.bluetoothAddress); found != names.end()) {
                port.bluetoothName = found->second;
            }
        }
    }
    return ports;
}

std::vector<PortInfo> PortCatalog::ports() const {
    return scan(true);
}

std::optional<PortInfo> PortCatalog::find(const std::string& comName) const {
    const std::string wanted = asciiLower(comName);
    for (PortInfo& port : scan(false)) {
        if (asciiLower(port.comName) == wanted) {
            return std::move(port);
        }
    }
    return std::nullopt;
}

std::optional<PortInfo> PortCatalog::findDeviceNode(const std::string& path) const {
    std::error_code error;
    const std::filesystem::path wanted = std::filesystem::canonical(path, error);
    if (error) {
        return std::nullopt;
    }
    for (PortInfo& port : scan(false)) {
        if (std::filesystem::canonical(port.deviceNode, error) == wanted && !error) {
            return std::move(port);
        }
    }
    return std::nullopt;
}

std::optional<PortInfo> PortCatalog::findIdentity(const std::string& identity) const {
    for (PortInfo& port : scan(false)) {
        if (port.identity == identity) {
            return std::move(port);
        }
    }
    return std::nullopt;
}

std::vector<std::string> PortCatalog::comNames() const {
    std::vector<std::string> names;
    for (const PortInfo& port : scan(false)) {
        names.push_back(port.comName);
    }
    return names;
}

namespace {

std::mutex installedCatalogMutex;
std::shared_ptr<const PortCatalog>& installedCatalog() {
    static std::shared_ptr<const PortCatalog> catalog = std::make_shared<PortCatalog>();
    return catalog;
}

} // namespace

std::shared_ptr<const PortCatalog> systemPortCatalog() {
    std::lock_guard lock(installedCatalogMutex);
    return installedCatalog();
}

void installSystemPortCatalog(std::shared_ptr<const PortCatalog> catalog) {
    std::lock_guard lock(installedCatalogMutex);
    installedCatalog() = std::move(catalog);
}

} // namespace platform
