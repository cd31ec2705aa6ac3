// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/port_sandbox.h"

#include "platform/port_catalog.h"
#include "platform/port_links.h"

#include <QDir>
#include <filesystem>

namespace talvek::test {

PortSandbox::PortSandbox()
    : previousWorkingFolder_(QDir::currentPath()), previousDataHome_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", folder_.path().toLocal8Bit());
    const std::filesystem::path links = platform::userPortLinkFolder();
    std::filesystem::create_directories(links);
    const std::string nothing = file("none");
    platform::installSystemPortCatalog(std::make_shared<platform::PortCatalog>(
        platform::MachineFolders{nothing, nothing, nothing}, links.string(),
        [] { return platform::BluetoothNames{}; }));
    QDir::setCurrent(folder_.path());
}

PortSandbox::~PortSandbox() {
    QDir::setCurrent(previousWorkingFolder_);
    qputenv("XDG_DATA_HOME", previousDataHome_);
}

std::string PortSandbox::path() const {
    return folder_.path().toStdString();
}

std::string PortSandbox::file(const std::string& name) const {
    return folder_.filePath(QString::fromStdString(name)).toStdString();
}

} // namespace talvek::test
