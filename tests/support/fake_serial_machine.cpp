#include "tests/support/fake_serial_machine.h"

#include "platform/serial_device_map.h"

#include <QCoreApplication>
#include <QDir>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace talvek::test {

FakeSerialMachine::FakeSerialMachine() {
    QDir(root_.path()).mkpath("links");
    QDir(root_.path()).mkpath("sys/class/tty");
    const std::string root = root_.path().toStdString();
    platform::InstallSystemSerialDeviceMap(
        std::make_shared<platform::SerialDeviceMap>(root + "/sys", "/dev", root + "/links"));
}

FakeSerialMachine::~FakeSerialMachine() {
    platform::InstallSystemSerialDeviceMap(std::make_shared<platform::SerialDeviceMap>());
}

void FakeSerialMachine::Link(const std::string& comName, const std::string& devicePath) {
    const std::string link = root_.path().toStdString() + "/links/" + comName;
    if (::symlink(devicePath.c_str(), link.c_str()) != 0) {
        throw std::runtime_error("cannot create port link " + link);
    }
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

} // namespace talvek::test
