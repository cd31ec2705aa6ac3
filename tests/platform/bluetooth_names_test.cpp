// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bluetooth_names.h"
#include "tests/support/child_process.h"

#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QThread>
#include <QVariantMap>
#include <csignal>

#include <gtest/gtest.h>

using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;

// Answers like bluetoothd's object manager: one adapter and the devices it knows.
class FakeBlueZ : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.ObjectManager")
public:
    ManagedObjects objects;
public slots:
    ManagedObjects GetManagedObjects() { return objects; }
};

namespace {

// A private message bus, so the test needs neither a system bus nor Bluetooth.
class PrivateBus {
public:
    PrivateBus() {
        if (daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"})) {
            const std::string line = daemon_.readOutput(5000);
            address_ = QString::fromStdString(line.substr(0, line.find('\n')));
        }
    }
    ~PrivateBus() {
        daemon_.signal(SIGKILL);
        daemon_.waitFinished(5000);
    }
    const QString& Address() const { return address_; }

private:
    talvek::test::ChildProcess daemon_;
    QString address_;
};

QVariantMap device(const QString& address, const QString& alias) {
    return {{"Address", address}, {"Alias", alias}, {"Name", "ignored"}};
}

} // namespace

TEST(BlueZDeviceNames, ReadsAddressesAndAliasesOfKnownDevices) {
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    qDBusRegisterMetaType<InterfaceProperties>();
    qDBusRegisterMetaType<ManagedObjects>();

    FakeBlueZ service;
    service.objects = {
        {QDBusObjectPath("/org/bluez/hci0"),
         {{"org.bluez.Adapter1", {{"Address", "00:11:22:33:44:55"}}}}},
        {QDBusObjectPath("/org/bluez/hci0/dev_01_23_45_67_89_AB"),
         {{"org.bluez.Device1", device("01:23:45:67:89:ab", "Sensor")}}},
        {QDBusObjectPath("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_FF"),
         {{"org.bluez.Device1", device("AA:BB:CC:DD:EE:FF", "")}}},
        {QDBusObjectPath("/org/bluez/hci0/dev_00_11_22_33_44_66"),
         {{"org.bluez.Device1", device("00:11:22:33:44:66", QString::fromUtf8("Zähler €"))}}},
    };
    // The service runs on its own thread, started after its data is in place: the lookup blocks
    // the calling one.
    QThread serviceThread;
    serviceThread.start();
    service.moveToThread(&serviceThread);
    QDBusConnection server = QDBusConnection::connectToBus(bus.Address(), "fake-bluez");
    ASSERT_TRUE(server.registerService("org.bluez"));
    ASSERT_TRUE(server.registerObject("/", &service, QDBusConnection::ExportAllSlots));

    const QDBusConnection client = QDBusConnection::connectToBus(bus.Address(), "client");
    const platform::BluetoothNames names = platform::blueZDeviceNames(client);

    EXPECT_EQ(names,
              (platform::BluetoothNames{{"01:23:45:67:89:AB", "Sensor"},
                                        {"00:11:22:33:44:66", "Z\xc3\xa4hler \xe2\x82\xac"}}))
        << "names are UTF-8";

    server.unregisterObject("/");
    QThread* testThread = QThread::currentThread();
    QMetaObject::invokeMethod(
        &service, [&service, testThread] { service.moveToThread(testThread); },
        Qt::BlockingQueuedConnection);
    serviceThread.quit();
    serviceThread.wait();
    QDBusConnection::disconnectFromBus("fake-bluez");
    QDBusConnection::disconnectFromBus("client");
}

TEST(BlueZDeviceNames, NoBluetoothServiceMeansNoNames) {
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    const QDBusConnection client = QDBusConnection::connectToBus(bus.Address(), "lonely");
    EXPECT_TRUE(platform::blueZDeviceNames(client).empty());
    QDBusConnection::disconnectFromBus("lonely");
    EXPECT_TRUE(platform::blueZDeviceNames(QDBusConnection("not connected")).empty());
}

#include "bluetooth_names_test.moc"
