// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ports_command.h"

#include "cli/diagnostics.h"
#include "platform/port_catalog.h"
#include "portselect/port_discovery.h"
#include "portselect/port_kinds.h"

#include <algorithm>
#include <array>
#include <vector>

namespace cli {

namespace {

// The kind names as a table, so that a user of both sees which of the window's names is which.
std::string kindTable() {
    std::string text = "The kinds as the window names them in its port list and its filter:\n";
    const auto row = [&text](std::string_view kind, std::string_view list,
                             std::string_view filter) {
        std::string line = "  " + std::string(kind);
        line.resize(16, ' ');
        line += list;
        line.resize(27, ' ');
        text += line + std::string(filter) + '\n';
    };
    row("kind", "port list", "filter");
    for (const portselect::PortKindNames& names : portselect::portKindNames()) {
        row(names.linuxName, names.listText, names.filterCaption);
    }
    return text;
}

std::string usageText() {
    return "Usage: talvek-cli ports\n"
           "\n"
           "The machine's serial ports, one a line, in the order of the window's port selector:\n"
           "COM name, kind (serial, usb, bluetooth, bluetooth-in, virtual), device node and name\n"
           "(a Bluetooth link adds the remote device). 'talvek-cli record --port NAME' takes the\n"
           "COM name.\n"
           "\n" +
           kindTable();
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
        rows.push_back(
            {port.name, std::string(portselect::linuxKindName(port.kind)), port.deviceNode});
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
