#include "platform/serial_device_map.h"

#include "platform/port_links.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
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

// The number after `prefix` when `name` is exactly prefix + decimal digits (at most 6).
std::optional<int> NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 6 ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isdigit(c); }) ||
        digits[0] == '0') {
        return digits == "0" ? std::optional<int>(0) : std::nullopt;
    }
    return std::stoi(digits);
}

std::optional<std::string> Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) {
        return std::nullopt;
    }
    return std::string(resolved);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Newer(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// A pseudo-terminal number is handed out again as soon as its last user lets go, so a link left
// behind by a program that died may come to point at somebody else's terminal. The link is
// trusted only while the terminal it names is ours and is not younger than the link itself.
bool PseudoTerminalLinkIsCurrent(const std::string& linkPath, const std::string& target) {
    struct stat link {};
    struct stat node {};
    if (::lstat(linkPath.c_str(), &link) != 0 || ::stat(target.c_str(), &node) != 0) {
        return false;
    }
    return node.st_uid == ::getuid() && !Newer(node.st_ctim, link.st_mtim);
}

// A real UART: the serial core reports a port type other than "unknown" (0). The 8250 driver
// registers placeholders with type 0 for every possible legacy port.
bool IsRealUart(const std::string& sysfsTty) {
    std::ifstream in(sysfsTty + "/type");
    int type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

struct KernelFamily {
    const char* Prefix;
    PortSource Source;
};
constexpr KernelFamily kFamilies[] = {{"ttyS", PortSource::Uart},
                                      {"ttyUSB", PortSource::Usb},
                                      {"ttyACM", PortSource::Acm},
                                      {"rfcomm", PortSource::Rfcomm},
                                      {"tnt", PortSource::Tnt}};

} // namespace

SerialDeviceMap::SerialDeviceMap(std::string sysfsRoot, std::string devRoot, std::string linkFolder)
    : sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)),
      linkFolder_(linkFolder.empty() ? UserPortLinkFolder() : std::move(linkFolder)) {}

std::vector<MappedPort> SerialDeviceMap::Ports() const {
    std::map<int, MappedPort> byNumber;
    std::set<std::string> claimedDevices;
    const std::string ptsFolder = Resolved(devRoot_ + "/pts").value_or(devRoot_ + "/pts") + "/";

    for (const std::string& name : FolderEntries(linkFolder_)) {
        const auto number = NumberAfter(Lower(name), "com");
        if (!number || *number == 0 || byNumber.count(*number)) {
            continue;
        }
        const std::string linkPath = linkFolder_ + "/" + name;
        const auto target = Resolved(linkPath);
        if (!target) {
            continue; // dead link
        }
        const bool pseudoTerminal = StartsWith(*target, ptsFolder);
        if (pseudoTerminal && !PseudoTerminalLinkIsCurrent(linkPath, *target)) {
            continue;
        }
        MappedPort port;
        port.Name = "COM" + std::to_string(*number);
        port.DevicePath = *target;
        port.KernelName = pseudoTerminal ? "pts/" + target->substr(ptsFolder.size())
                                         : target->substr(target->find_last_of('/') + 1);
        port.LinkPath = linkPath;
        port.Source = PortSource::UserLink;
        claimedDevices.insert(*target);
        byNumber.emplace(*number, std::move(port));
    }

    const std::string ttyClass = sysfsRoot_ + "/class/tty";
    const std::vector<std::string> ttys = FolderEntries(ttyClass);
    int nextFree = 1;
    for (const KernelFamily& family : kFamilies) {
        std::map<int, std::string> members; // numeric order: ttyS2 before ttyS10
        for (const std::string& name : ttys) {
            if (const auto index = NumberAfter(name, family.Prefix)) {
                members.emplace(*index, name);
            }
        }
        for (const auto& [index, name] : members) {
            if (family.Source == PortSource::Uart && !IsRealUart(ttyClass + "/" + name)) {
                continue;
            }
            const auto device = Resolved(devRoot_ + "/" + name);
            if (!device || claimedDevices.count(*device)) {
                continue;
            }
            while (byNumber.count(nextFree)) {
                ++nextFree;
            }
            MappedPort port;
            port.Name = "COM" + std::to_string(nextFree);
            port.DevicePath = *device;
            port.KernelName = name;
            port.Source = family.Source;
            claimedDevices.insert(*device);
            byNumber.emplace(nextFree, std::move(port));
        }
    }

    std::vector<MappedPort> ports;
    for (auto& [number, port] : byNumber) {
        ports.push_back(std::move(port));
    }
    return ports;
}

std::optional<std::string> SerialDeviceMap::DeviceFor(const std::string& comName) const {
    const std::string wanted = Lower(comName);
    for (const MappedPort& port : Ports()) {
        if (Lower(port.Name) == wanted) {
            return port.DevicePath;
        }
    }
    return std::nullopt;
}

namespace {

std::mutex installedMapMutex;
std::shared_ptr<const SerialDeviceMap>& InstalledMap() {
    static std::shared_ptr<const SerialDeviceMap> map = std::make_shared<SerialDeviceMap>();
    return map;
}

} // namespace

const SerialDeviceMap& SystemSerialDeviceMap() {
    std::lock_guard lock(installedMapMutex);
    return *InstalledMap();
}

void InstallSystemSerialDeviceMap(std::shared_ptr<const SerialDeviceMap> map) {
    std::lock_guard lock(installedMapMutex);
    InstalledMap() = std::move(map);
}

} // namespace platform
