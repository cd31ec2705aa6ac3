#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

// A private world for a window and the counters it talks to: a temporary folder that is the user's
// data home (the port links in it give COM names), the working folder and the settings folder. The
// system's port catalog sees only those links, never the machine's own serial devices.
// The process's working folder and data home come back on destruction.
class TPortSandbox {
public:
    TPortSandbox();
    ~TPortSandbox();
    TPortSandbox(const TPortSandbox&) = delete;
    TPortSandbox& operator=(const TPortSandbox&) = delete;

    std::string Path() const;
    std::string File(const std::string& name) const;

private:
    QTemporaryDir folder_;
    QString previousWorkingFolder_;
    QByteArray previousDataHome_;
};
