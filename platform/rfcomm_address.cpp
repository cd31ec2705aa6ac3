// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rfcomm_address.h"

#include <cstdint>
#include <cstdio>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The kernel's RFCOMM device query, declared here so the build needs no Bluetooth headers.
constexpr int kBluetoothRfcommProtocol = 3;
constexpr unsigned long kGetDeviceInfo = _IOR('R', 211, int);

struct RfcommDeviceInfo {
    std::int16_t id;
    std::uint32_t flags;
    std::uint16_t state;
    std::uint8_t source[6];
    std::uint8_t destination[6]; // least significant byte first
    std::uint8_t channel;
};

} // namespace

std::string rfcommRemoteAddress(const std::string& kernelName) {
    const std::string prefix = "rfcomm";
    if (kernelName.compare(0, prefix.size(), prefix) != 0 || kernelName.size() == prefix.size()) {
        return {};
    }
    RfcommDeviceInfo info{};
    try {
        info.id = static_cast<std::int16_t>(std::stoi(kernelName.substr(prefix.size())));
    } catch (...) {
        return {};
    }
    const int sock = ::socket(AF_BLUETOOTH, SOCK_RAW, kBluetoothRfcommProtocol);
    if (sock < 0) {
        return {};
    }
    const bool known = ::ioctl(sock, kGetDeviceInfo, &info) == 0;
    ::close(sock);
    if (!known) {
        return {};
    }
    char text[18];
    const std::uint8_t* b = info.destination;
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[5], b[4], b[3], b[2], b[1],
                  b[0]);
    return text;
}

} // namespace platform
