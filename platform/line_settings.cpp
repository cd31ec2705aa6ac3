// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_settings.h"

#include <utility>

namespace platform {

namespace {

constexpr std::pair<int, speed_t> kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr std::pair<int, tcflag_t> kCharacterSizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};

tcflag_t parityBits(Parity parity) {
    switch (parity) {
    case Parity::Odd:
        return PARENB | PARODD;
    case Parity::Even:
        return PARENB;
    case Parity::Mark:
        return PARENB | PARODD | CMSPAR;
    case Parity::Space:
        return PARENB | CMSPAR;
    case Parity::None:
        break;
    }
    return 0;
}

} // namespace

bool applyLineSettings(const LineSettings& settings, termios& attributes) {
    const speed_t* speed = nullptr;
    for (const auto& [rate, code] : kBaudRates) {
        if (rate == settings.baud) {
            speed = &code;
        }
    }
    const tcflag_t* size = nullptr;
    for (const auto& [bits, code] : kCharacterSizes) {
        if (bits == settings.dataBits) {
            size = &code;
        }
    }
    if (!speed || !size || (settings.stopBits != 1 && settings.stopBits != 2)) {
        return false;
    }
    termios t = attributes;
    if (cfsetispeed(&t, *speed) != 0 || cfsetospeed(&t, *speed) != 0) {
        return false;
    }
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= *size | parityBits(settings.parity) | (settings.stopBits == 2 ? CSTOPB : 0);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    attributes = t;
    return true;
}

} // namespace platform
