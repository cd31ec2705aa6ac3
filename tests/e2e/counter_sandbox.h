#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

class QAction;
class QMenu;

// A private world for the window and virtual counters: a temporary folder that is the user's data
// home (so the counters' port links land there), the working folder and the settings folder. The
// system's device map and registry see only those links, never the machine's own serial devices.
// The process's working folder and data home come back on destruction.
class TCounterSandbox {
public:
    TCounterSandbox();
    ~TCounterSandbox();
    TCounterSandbox(const TCounterSandbox&) = delete;
    TCounterSandbox& operator=(const TCounterSandbox&) = delete;

    std::string Path() const;
    std::string File(const std::string& name) const;

private:
    QTemporaryDir folder_;
    QString previousWorkingFolder_;
    QByteArray previousDataHome_;
};

// The popup-menu entry reached by its captions, e.g. {"Measure", "stop"}; null when one is missing.
QAction* FindMenuAction(QMenu* menu, const std::vector<std::string>& path);
