// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace talvek::test {

// A private world for a window and the counters it talks to: a temporary folder that is the user's
// data home (the port links in it give COM names), the working folder and the settings folder. The
// system's port catalog sees only those links, never the machine's own serial devices.
// The process's working folder and data home come back on destruction.
class PortSandbox {
public:
    PortSandbox();
    ~PortSandbox();
    PortSandbox(const PortSandbox&) = delete;
    PortSandbox& operator=(const PortSandbox&) = delete;

    std::string path() const;
    std::string file(const std::string& name) const;

private:
    QTemporaryDir folder_;
    QString previousWorkingFolder_;
    QByteArray previousDataHome_;
};

} // namespace talvek::test
