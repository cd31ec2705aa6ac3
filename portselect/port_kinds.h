// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace portselect {

// The names of one port kind: the window's own (its port list's kind column and the caption of
// its kind filter) and the Linux name that talvek-cli ports prints and the selector's hint gives.
struct PortKindNames {
    std::string_view linuxName;     // "usb"
    std::string_view listText;      // "USB"
    std::string_view filterCaption; // "USB"
};

// Every kind, at its number (kKindGeneric, kKindUsb, ...), the bit of the kind filter.
std::span<const PortKindNames> portKindNames();

// The Linux name of `kind`; "serial" for a kind the table does not hold.
std::string_view linuxKindName(std::uint8_t kind);

} // namespace portselect
