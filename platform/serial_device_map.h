#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Where a mapped port comes from; decides its order of numbering and, later, its device
// instance in the registry view.
enum class PortSource { UserLink, Uart, Usb, Acm, Rfcomm, Tnt };

// One serial port of the machine under its COM name.
struct MappedPort {
    std::string Name;       // "COM3"
    std::string DevicePath; // the device node it opens, links resolved ("/dev/ttyUSB0")
    std::string KernelName; // "ttyUSB0", "pts/3" for a linked pseudo-terminal
    std::string LinkPath;   // the user's link for a UserLink port, else empty
    PortSource Source = PortSource::Uart;
};

// The serial device map: COM names for the machine's serial devices. User links "comN" in the
// link folder claim their numbers first; the kernel's ports then take the lowest free numbers in
// the order ttyS (real UARTs only), ttyUSB, ttyACM, rfcomm, tnt. A link whose target is gone is
// not listed. The map is read afresh by every call, so ports that come and go are seen at once.
class SerialDeviceMap {
public:
    explicit SerialDeviceMap(std::string sysfsRoot = "/sys", std::string devRoot = "/dev",
                             std::string linkFolder = {}); // empty: UserPortLinkFolder()

    std::vector<MappedPort> Ports() const;
    // The device node for a COM name (letter case ignored), or nothing when the name is unmapped.
    std::optional<std::string> DeviceFor(const std::string& comName) const;

private:
    std::string sysfsRoot_;
    std::string devRoot_;
    std::string linkFolder_;
};

// The map the program opens ports through: the machine's own until another is installed (tests
// install fake machines).
const SerialDeviceMap& SystemSerialDeviceMap();
void InstallSystemSerialDeviceMap(std::shared_ptr<const SerialDeviceMap> map);

} // namespace platform
