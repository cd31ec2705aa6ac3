// SPDX-License-Identifier: GPL-3.0-or-later
// Full port discovery, as every refresh of the port selector runs it: the port catalog read from
// the machine (sysfs, udev's database, the link folder, the COM number database) and turned into
// the selector's records. On this machine's devices (with a number database of its own), and on a
// fake machine with 64 USB adapters, 16 Bluetooth links and 16 linked pseudo-terminal stand-ins.
#include "bench/bench_options.h"
#include "platform/port_catalog.h"
#include "portselect/port_discovery.h"
#include "tests/support/fake_serial_machine.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Figures {
    double median;
    double worst;
    double medianCpu; // this thread's processor time: what a busy machine cannot inflate
    std::size_t Ports;
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Figures measure(const platform::PortCatalog& catalog, int runs) {
    std::vector<double> ms;
    std::vector<double> cpu;
    std::size_t ports = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMs();
        ports = portselect::discoverPorts(catalog.ports()).size();
        cpu.push_back(threadCpuMs() - cpuStart);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2], ports};
}

void print(const char* what, const Figures& f, int runs) {
    std::printf("%s: %zu ports, median %.3f ms (cpu %.3f ms), worst %.3f ms (%d runs)\n", what,
                f.Ports, f.median, f.medianCpu, f.worst, runs);
}

} // namespace

int main(int argc, char** argv) {
    bench::parseOptions(argc, argv,
                        {"port_discovery_bench",
                         "Full port discovery as every refresh of the port selector runs it.", 0,
                         false});
    QCoreApplication app(argc, argv);

    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    const platform::PortCatalog machine;
    print("discovery on this machine", measure(machine, 50), 50);

    talvek::test::FakeSerialMachine fake;
    for (int n = 0; n < 64; ++n) {
        talvek::test::FakeSerialMachine::UsbAdapter adapter;
        adapter.serial = n % 2 ? "S" + std::to_string(n) : "";
        adapter.productName = "Adapter " + std::to_string(n);
        adapter.busPort = "1-" + std::to_string(n + 1);
        adapter.factsOnlyInUdev = n % 4 == 0;
        fake.plugUsb("ttyUSB" + std::to_string(n), adapter);
    }
    for (int n = 0; n < 16; ++n) {
        fake.addRfcomm("rfcomm" + std::to_string(n), "00:00:00:00:00:" + std::to_string(10 + n));
        fake.addTty("tnt" + std::to_string(n));
        fake.link("com" + std::to_string(200 + n), fake.node("tnt" + std::to_string(n)));
    }
    print("discovery on a fake machine", measure(fake.catalog(), 200), 200);
    return 0;
}
