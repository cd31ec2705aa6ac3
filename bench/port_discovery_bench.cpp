// Full port discovery, as every refresh of the port selector runs it: on this machine through
// the Linux registry view, and over an in-memory machine with 64 ports in a deep device tree.
#include "platform/linux_registry_view.h"
#include "platform/memory_registry.h"
#include "portselect/port_discovery.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Figures {
    double Median;
    double Worst;
    double MedianCpu; // this thread's processor time: what a busy machine cannot inflate
    std::size_t Ports;
};

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Figures Measure(const platform::RegistryView& registry, int runs) {
    std::vector<double> ms;
    std::vector<double> cpu;
    std::size_t ports = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        ports = DiscoverPorts(registry).size();
        cpu.push_back(ThreadCpuMs() - cpuStart);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2], ports};
}

// 64 ports, listed in the device map from the highest number down, whose instances sit five
// levels deep among decoy branches and instances of other ports; Bluetooth ports have remote
// device keys. Every port's search walks past the branches enumerated before its own.
platform::MemoryRegistry DeepMachine() {
    platform::MemoryRegistry reg;
    const std::string enumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
    for (int bus = 0; bus < 8; ++bus) {
        for (int decoy = 0; decoy < 6; ++decoy) {
            reg.SetValue(enumKey + "BUS" + std::to_string(bus) + "\\DECOY" + std::to_string(decoy) +
                             "\\A\\B\\C",
                         "FriendlyName", "Not a port");
        }
    }
    for (int n = 64; n >= 1; --n) {
        reg.SetValue("HARDWARE\\DEVICEMAP\\SERIALCOMM", "\\Device\\Serial" + std::to_string(n - 1),
                     "COM" + std::to_string(n));
    }
    for (int n = 1; n <= 64; ++n) {
        const std::string port = "COM" + std::to_string(n);
        const int bus = n % 8;
        std::string instance;
        std::string friendly;
        if (n % 4 == 0) {
            instance = "BUS" + std::to_string(bus) + "\\BTHENUM\\{PROFILE}_LOCALMFG&0000\\8&" +
                       std::to_string(n) + "&0000000000" + std::to_string(10 + n % 90) +
                       "_C00000000";
            friendly = "Standard Serial over Bluetooth link (" + port + ")";
            reg.SetValue(enumKey + "BTHENUM\\Dev_0000000000" + std::to_string(10 + n % 90) + "\\1",
                         "FriendlyName", "Remote " + std::to_string(n));
        } else {
            instance = "BUS" + std::to_string(bus) + "\\USB\\VID_0403&PID_6001\\HUB\\S" +
                       std::to_string(n);
            friendly = "USB Serial Port (" + port + ")";
        }
        reg.SetValue(enumKey + instance, "FriendlyName", friendly);
        reg.SetValue(enumKey + instance + "\\Device Parameters", "PortName", port);
    }
    return reg;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);

    const platform::LinuxRegistryView machine;
    const Figures real = Measure(machine, 50);
    std::printf("discovery on this machine: %zu ports, median %.3f ms (cpu %.3f ms), worst %.3f ms "
                "(50 runs)\n",
                real.Ports, real.Median, real.MedianCpu, real.Worst);

    const platform::MemoryRegistry deep = DeepMachine();
    const Figures memory = Measure(deep, 200);
    std::printf("discovery over 64 ports in a deep in-memory tree: %zu ports, median %.3f ms "
                "(cpu %.3f ms), worst %.3f ms (200 runs)\n",
                memory.Ports, memory.Median, memory.MedianCpu, memory.Worst);
    return 0;
}
