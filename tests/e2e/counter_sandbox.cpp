#include "tests/e2e/counter_sandbox.h"

#include "platform/linux_registry_view.h"
#include "platform/port_links.h"
#include "platform/serial_device_map.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <filesystem>

TCounterSandbox::TCounterSandbox()
    : previousWorkingFolder_(QDir::currentPath()), previousDataHome_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", folder_.path().toLocal8Bit());
    const std::filesystem::path links = platform::UserPortLinkFolder();
    std::filesystem::create_directories(links);
    const std::string noSysfs = File("sys");
    platform::InstallSystemSerialDeviceMap(
        std::make_shared<platform::SerialDeviceMap>(noSysfs, "/dev", links.string()));
    platform::InstallSystemRegistry(std::make_shared<platform::LinuxRegistryView>(
        noSysfs, "/dev", links.string(), [] { return platform::BluetoothNames{}; }));
    QDir::setCurrent(folder_.path());
}

TCounterSandbox::~TCounterSandbox() {
    QDir::setCurrent(previousWorkingFolder_);
    qputenv("XDG_DATA_HOME", previousDataHome_);
}

std::string TCounterSandbox::Path() const {
    return folder_.path().toStdString();
}

std::string TCounterSandbox::File(const std::string& name) const {
    return folder_.filePath(QString::fromStdString(name)).toStdString();
}

QAction* FindMenuAction(QMenu* menu, const std::vector<std::string>& path) {
    QAction* found = nullptr;
    for (const std::string& caption : path) {
        if (!menu) {
            return nullptr;
        }
        found = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QString::fromLatin1(caption)) {
                found = action;
            }
        }
        if (!found) {
            return nullptr;
        }
        menu = found->menu();
    }
    return found;
}
