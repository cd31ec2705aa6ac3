#pragma once

#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <string>

namespace talvek::test {

// Installs a machine without kernel serial ports whose only COM ports are the links a test makes
// (to pseudo-terminal slaves); the real machine's map comes back on destruction.
class FakeSerialMachine {
public:
    FakeSerialMachine();
    ~FakeSerialMachine();
    FakeSerialMachine(const FakeSerialMachine&) = delete;
    FakeSerialMachine& operator=(const FakeSerialMachine&) = delete;

    // Maps `comName` ("COM3") to the device node.
    void Link(const std::string& comName, const std::string& devicePath);

private:
    QTemporaryDir root_;
};

// Processes Qt events until `done` holds or `timeout` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Processes Qt events for `span`.
void PumpFor(std::chrono::milliseconds span);

} // namespace talvek::test
