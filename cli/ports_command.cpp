// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ports_command.h"

#include "cli/diagnostics.h"
#include "platform/port_catalog.h"
#include "portselect/port_discovery.h"

#include <algorithm>
#include <array>
#include <vector>

namespace cli {

namespace {

std::string kindText(std::uint8_t kind) {
    switch (kind) {
    case portselect::kKindUsb:
        return "usb";
    case portselect::kKindBluetooth:
        return "bluetooth";
    case portselect::kKindBluetoothIncoming:
        return "bluetooth-in";
    case portselect::kKindCom0Com:
        return "virtual";
    default:
        return "serial";
    }
}

std::string usageText() {
    return "Usage: talvek-cli ports\n"
           "\n"
           "The machine's serial ports, one a line, in the order of the window's port selector:\n"
           "COM name, kind (serial, usb, bluetooth, bluetooth-in, virtual), device node and name\n"
           "(a Bluetooth link adds the remote device). 'talvek-cli record --port NAME' takes the\n"
           "COM name.\n";
}

} // namespace

ExitCode runPorts(std::span<const std::string> arguments) {
    if (!arguments.empty()) {
        if (arguments.front() == "--help" || arguments.front() == "-h") {
            print(usageText());
            return ExitCode::Done;
        }
        return fail(ExitCode::Usage, "ports takes no arguments; try 'talvek-cli ports --help'");
    }
    const portselect::PortEntries ports =
        portselect::discoverPorts(platform::systemPortCatalog()->ports());
    if (ports.empty()) {
        warn("no serial port found");
        return ExitCode::Done;
    }
    std::vector<std::array<std::string, 3>> rows;
    std::array<std::size_t, 3> widths{};
    for (const portselect::PortEntry& port : ports) {
        rows.push_back({port.name, kindText(port.kind), port.deviceNode});
        for (std::size_t i = 0; i < widths.size(); ++i) {
            widths[i] = std::max(widths[i], rows.back()[i].size());
        }
    }
    std::string text;
    for (std::size_t row = 0; row < ports.size(); ++row) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            std::string cell = rows[row][i];
            cell.resize(widths[i] + 2, ' ');
            text += cell;
        }
        text += ports[row].friendlyName;
        if (!ports[row].bluetoothName.empty()) {
            text += " (" + ports[row].bluetoothName + ")";
        }
        text += '\n';
    }
    print(text);
    return ExitCode::Done;
}

} // namespace cli
