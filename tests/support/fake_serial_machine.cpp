// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/fake_serial_machine.h"

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace talvek::test {

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

std::string byPathLink(const std::string& busPort) {
    return "pci-0000:00:14.0-usb-0:" + busPort.substr(busPort.find('-') + 1) + ":1.0-port0";
}

} // namespace

FakeSerialMachine::FakeSerialMachine() {
    for (const char* folder : {"links", "sys/class/tty", "dev/serial/by-path", "udev"}) {
        fs::create_directories(root() + "/" + folder);
    }
    platform::installSystemPortCatalog(std::make_shared<platform::PortCatalog>(catalog()));
}

FakeSerialMachine::~FakeSerialMachine() {
    platform::installSystemPortCatalog(std::make_shared<platform::PortCatalog>());
}

platform::PortCatalog FakeSerialMachine::catalog(platform::BluetoothNameSource names) const {
    return platform::PortCatalog({root() + "/sys", root() + "/dev", root() + "/udev"},
                                 root() + "/links", std::move(names));
}

void FakeSerialMachine::link(const std::string& comName, const std::string& devicePath) {
    const std::string link = root() + "/links/" + comName;
    std::error_code failed;
    fs::create_symlink(devicePath, link, failed);
    if (failed) {
        throw std::runtime_error("cannot create port link " + link);
    }
}

void FakeSerialMachine::addTty(const std::string& kernelName) {
    fs::create_directories(root() + "/sys/class/tty/" + kernelName);
    writeFile(node(kernelName), "");
}

void FakeSerialMachine::addUart(const std::string& kernelName, int serialType) {
    addTty(kernelName);
    writeFile(root() + "/sys/class/tty/" + kernelName + "/type", std::to_string(serialType));
}

void FakeSerialMachine::plugUsb(const std::string& kernelName, const UsbAdapter& adapter) {
    addTty(kernelName);
    const fs::path usb = root() + "/sys/devices/pci0000:00/usb1/" + adapter.busPort;
    const fs::path interface = usb / (adapter.busPort + ":1." + adapter.interface);
    const std::string major = kernelName.rfind("ttyACM", 0) == 0 ? "166" : "188";
    const std::string numbers =
        major + ":" + kernelName.substr(kernelName.find_first_of("0123456789"));
    if (adapter.factsOnlyInUdev) {
        writeFile(root() + "/udev/c" + numbers,
                  "I:123\nE:ID_VENDOR_ID=" + adapter.vendor + "\nE:ID_MODEL_ID=" + adapter.product +
                      "\nE:ID_SERIAL_SHORT=" + adapter.serial +
                      "\nE:ID_USB_INTERFACE_NUM=" + adapter.interface +
                      "\nE:ID_MODEL_FROM_DATABASE=" + adapter.productName + "\nG:systemd");
    } else {
        writeFile(usb / "idVendor", adapter.vendor);
        writeFile(usb / "idProduct", adapter.product);
        if (!adapter.serial.empty()) {
            writeFile(usb / "serial", adapter.serial);
        }
        if (!adapter.productName.empty()) {
            writeFile(usb / "product", adapter.productName);
        }
        writeFile(interface / "bInterfaceNumber", adapter.interface);
    }
    fs::create_directories(interface / kernelName);
    fs::create_directory_symlink(interface / kernelName,
                                 root() + "/sys/class/tty/" + kernelName + "/device");
    writeFile(root() + "/sys/class/tty/" + kernelName + "/dev", numbers);
    fs::create_symlink("../../" + kernelName,
                       root() + "/dev/serial/by-path/" + byPathLink(adapter.busPort));
}

void FakeSerialMachine::addRfcomm(const std::string& kernelName, const std::string& remoteAddress) {
    addTty(kernelName);
    writeFile(root() + "/sys/class/tty/" + kernelName + "/address", remoteAddress);
}

void FakeSerialMachine::unplug(const std::string& kernelName) {
    const fs::path tty = root() + "/sys/class/tty/" + kernelName;
    std::error_code ignored;
    const fs::path device = fs::read_symlink(tty / "device", ignored);
    if (!device.empty()) {
        fs::remove_all(device.parent_path().parent_path()); // the USB device
        for (const auto& link : fs::directory_iterator(root() + "/dev/serial/by-path")) {
            if (fs::read_symlink(link.path()).filename() == kernelName) {
                fs::remove(link.path());
            }
        }
    }
    fs::remove_all(tty);
    fs::remove(node(kernelName));
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
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

void pumpFor(std::chrono::milliseconds span) {
    pumpUntil([] { return false; }, span);
}

} // namespace talvek::test
