// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bluetooth_names.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace platform {

namespace {

using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;

// A refresh must not hang on a Bluetooth service that does not answer.
constexpr int kReplyTimeoutMs = 500;

} // namespace

BluetoothNames blueZDeviceNames() {
    return blueZDeviceNames(QDBusConnection::systemBus());
}

BluetoothNames blueZDeviceNames(const QDBusConnection& bus) {
    BluetoothNames names;
    if (!bus.isConnected()) {
        return names;
    }
    qDBusRegisterMetaType<InterfaceProperties>();
    qDBusRegisterMetaType<ManagedObjects>();
    const QDBusMessage call = QDBusMessage::createMethodCall(
        "org.bluez", "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return names;
    }
    const auto objects =
        qdbus_cast<ManagedObjects>(reply.arguments().first().value<QDBusArgument>());
    for (const InterfaceProperties& interfaces : objects) {
        const auto device = interfaces.find("org.bluez.Device1");
        if (device == interfaces.end()) {
            continue;
        }
        const QString address = device->value("Address").toString().toUpper();
        const QString alias = device->value("Alias").toString();
        if (!address.isEmpty() && !alias.isEmpty()) {
            names[address.toStdString()] = alias.toUtf8().toStdString();
        }
    }
    return names;
}

} // namespace platform
