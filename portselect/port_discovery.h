// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/port_info.h"
#include "portselect/port_entry.h"

#include <vector>

namespace portselect {

// The selector's records of the machine's ports, sorted by name.
PortEntries discoverPorts(const std::vector<platform::PortInfo>& ports);

// Shorter names first, equal lengths by character codes; ports with equal names keep their order.
void sortPortsByName(PortEntries& ports);

} // namespace portselect
