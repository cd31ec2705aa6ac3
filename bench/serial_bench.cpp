// SPDX-License-Identifier: GPL-3.0-or-later
// Receive path figures on a pseudo-terminal: latency from a telegram's last byte written on the
// instrument side to its receiver on the main thread, and the telegram rate the receive
// thread sustains without loss, with the main thread idle and with it busy half of the time.
// A pseudo-terminal holds the writer back when its buffer is full; a real counter does not wait,
// so a rate only counts as sustained when the writer never had to wait for room.
#include "bench/bench_options.h"
#include "platform/clock.h"
#include "platform/port_catalog.h"
#include "serial/receive_thread.h"
#include "serial/serial_port.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A telegram as long as the counter's display dump: 34 bytes with CR LF.
std::string telegram(int sequence) {
    char text[64];
    std::snprintf(text, sizeof text, "D %08d 10.000 000 012 MHz G1\r\n", sequence);
    return text;
}

// Returns how long the writer waited for room in the terminal.
Clock::duration writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    Clock::duration waited{};
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            const auto start = Clock::now();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            waited += Clock::now() - start;
        }
    }
    return waited;
}

void pump(std::chrono::milliseconds span) {
    QEventLoop loop;
    QTimer::singleShot(span, &loop, &QEventLoop::quit);
    loop.exec();
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * (values.size() - 1))];
}

void measureLatency(serial::SerialPort& port, int master) {
    std::vector<double> latencies;
    Clock::time_point written;
    int awaited = -1;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject receiver;
    QObject::connect(
        &port, &serial::SerialPort::telegramReceived, &receiver, [&](const std::string& text) {
            if (std::atoi(text.c_str() + 2) == awaited) {
                latencies.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - written).count());
                loop.quit();
            }
        });
    if (!port.open("COM3", {})) {
        std::puts("cannot open the port");
        return;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gap(5, 60);
    for (int i = 0; i < 300; ++i) {
        pump(std::chrono::milliseconds(gap(random)));
        awaited = i;
        writeAll(master, telegram(i));
        written = Clock::now();
        deadline.start(1000);
        loop.exec();
        deadline.stop();
    }
    port.close();
    std::printf("latency, last byte written -> receiver on the main thread (%zu telegrams):\n",
                latencies.size());
    std::printf("  min %.2f ms  median %.2f ms  p95 %.2f ms  max %.2f ms\n",
                percentile(latencies, 0), percentile(latencies, 0.5), percentile(latencies, 0.95),
                percentile(latencies, 1));
}

// Writes telegrams at `rate` per second for `seconds`, lets the rest come through and prints the
// rate at which they were handed over while the stream ran and how long after it the last one
// came; true when none was lost and the writer never waited. `busy`: the main thread blocks for 500
// ms out of every second.
bool measureRate(serial::SerialPort& port, int master, double rate, double seconds, bool busy) {
    int received = 0;
    int receivedWhileStreaming = 0;
    int lost = 0;
    int expected = 0;
    std::atomic<bool> streaming{true};
    Clock::duration writerWaited{};
    Clock::time_point lastWritten;
    Clock::time_point lastAt;
    QObject receiver;
    QObject::connect(&port, &serial::SerialPort::telegramReceived, &receiver,
                     [&](const std::string& text) {
                         const int sequence = std::atoi(text.c_str() + 2);
                         lost += sequence - expected;
                         expected = sequence + 1;
                         ++received;
                         lastAt = Clock::now();
                         if (streaming) {
                             ++receivedWhileStreaming;
                         }
                     });
    if (!port.open("COM3", {})) {
        return false;
    }
    const int total = static_cast<int>(rate * seconds);
    std::thread counter([&] {
        const auto start = Clock::now();
        for (int i = 0; i < total; ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration<double>(i / rate));
            writerWaited += writeAll(master, telegram(i));
        }
        lastWritten = Clock::now();
        streaming = false;
    });
    while (streaming) {
        pump(std::chrono::milliseconds(busy ? 500 : 50));
        if (busy) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }
    counter.join();
    for (int before = -1; received != before && expected < total;) {
        before = received;
        pump(std::chrono::milliseconds(1000));
    }
    const double lagMs = std::chrono::duration<double, std::milli>(lastAt - lastWritten).count();
    port.close();
    const int dropped = lost;
    lost += total - expected;
    const double waitedMs = std::chrono::duration<double, std::milli>(writerWaited).count();
    std::printf("  offered %7.1f/s for %.0f s: handed over %7.1f/s while streaming, the last "
                "%5.0f ms after it was written, %d of %d delivered, %d dropped, writer waited "
                "%.1f ms\n",
                rate, seconds, receivedWhileStreaming / seconds, lagMs, received, total, dropped,
                waitedMs);
    return lost == 0 && waitedMs == 0;
}

} // namespace

int main(int argc, char** argv) {
    bench::parseOptions(argc, argv,
                        {"serial_bench",
                         "Receive path on a pseudo-terminal: latency to the main thread and the "
                         "telegram rate\nsustained without loss.",
                         0, false});
    QCoreApplication app(argc, argv);
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::puts("openpty failed");
        return 1;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    QTemporaryDir root;
    const std::string links = root.path().toStdString() + "/links";
    ::mkdir(links.c_str(), 0700);
    if (::symlink(name, (links + "/COM3").c_str()) != 0) {
        return 1;
    }
    const std::string nothing = root.path().toStdString() + "/none";
    platform::installSystemPortCatalog(std::make_shared<platform::PortCatalog>(
        platform::MachineFolders{nothing, nothing, nothing}, links));

    serial::SerialPort port;
    measureLatency(port, master);
    // What a measurement left unread must not count in the next one.
    const auto forgetUnread = [&] {
        pump(std::chrono::milliseconds(200));
        tcflush(slave, TCIFLUSH);
    };
    forgetUnread();

    for (const bool busy : {false, true}) {
        std::printf("sustained telegrams per second (34-byte telegrams), main thread %s:\n",
                    busy ? "busy 500 ms of every second" : "idle");
        double sustained = 0;
        bool allSoFar = true;
        // The counter's line rate is about 28 per second; up to some 350 times that.
        for (double rate : {28.0, 90.0, 280.0, 1000.0, 2800.0, 10000.0}) {
            allSoFar = measureRate(port, master, rate, 4.0, busy) && allSoFar;
            if (allSoFar) {
                sustained = rate;
            }
            forgetUnread();
        }
        std::printf("highest offered rate without loss or waiting writer: %.0f telegrams/s\n",
                    sustained);
    }
    while (serial::ReceiveThread::running() > 0) {
        pump(std::chrono::milliseconds(10));
    }
    ::close(slave);
    ::close(master);
    return 0;
}
