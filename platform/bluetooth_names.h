// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>

#include <functional>
#include <map>
#include <string>

namespace platform {

// The names (UTF-8) that remote Bluetooth devices announce, by address in upper case with colons
// ("01:23:45:67:89:AB"). Empty where nothing is known.
using BluetoothNames = std::map<std::string, std::string>;
using BluetoothNameSource = std::function<BluetoothNames()>;

// The devices BlueZ knows, with their aliases, asked over the system D-Bus. Without a system bus
// or a Bluetooth service the answer is simply empty.
BluetoothNames blueZDeviceNames();
// The same, asked of the Bluetooth service on `bus`.
BluetoothNames blueZDeviceNames(const QDBusConnection& bus);

} // namespace platform
