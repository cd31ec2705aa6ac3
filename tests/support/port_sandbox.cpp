#include "tests/support/port_sandbox.h"

#include "platform/port_catalog.h"
#include "platform/port_links.h"

#include <QDir>
#include <filesystem>

TPortSandbox::TPortSandbox()
    : previousWorkingFolder_(QDir::currentPath()), previousDataHome_(qgetenv("XDG_DATA_HOME")) {
    qputenv("XDG_DATA_HOME", folder_.path().toLocal8Bit());
    const std::filesystem::path links = platform::userPortLinkFolder();
    std::filesystem::create_directories(links);
    const std::string nothing = File("none");
    platform::installSystemPortCatalog(std::make_shared<platform::PortCatalog>(
        platform::MachineFolders{nothing, nothing, nothing}, links.string(),
        [] { return platform::BluetoothNames{}; }));
    QDir::setCurrent(folder_.path());
}

TPortSandbox::~TPortSandbox() {
    QDir::setCurrent(previousWorkingFolder_);
    qputenv("XDG_DATA_HOME", previousDataHome_);
}

std::string TPortSandbox::Path() const {
    return folder_.path().toStdString();
}

std::string TPortSandbox::File(const std::string& name) const {
    return folder_.filePath(QString::fromStdString(name)).toStdString();
}
