// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the recording journal: disk bytes per reading of the counter's telegrams, processor
// time per reading on the caller's and on the writer's thread, recovering a journal, and opening
// a .dat file of as many lines.
#include "counter/display_dump.h"
#include "counter/telegram_text.h"
#include "recording/journal_encoder.h"
#include "recording/journal_reader.h"
#include "recording/journal_writer.h"
#include "recording/measurement_file.h"
#include "tools/oscillator.h"
#include "tools/telegram_format.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kDistinctTelegrams = 100000;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Telegram {
    std::string text;
    std::string unit;
    double value = 0;
};

struct Variant {
    const char* name;
    tools::TelegramFormat format;
    tools::Quantity mode;
    double gateSeconds;
};

const Variant kVariants[] = {
    {"Hertz value, 1 s gate", tools::TelegramFormat::Hertz, tools::Quantity::Frequency, 1.0},
    {"Hertz value, 0.1 s gate", tools::TelegramFormat::Hertz, tools::Quantity::Frequency, 0.1},
    {"display dump, frequency, 1 s gate", tools::TelegramFormat::Dump, tools::Quantity::Frequency,
     1.0},
    {"display dump, frequency, 0.1 s gate", tools::TelegramFormat::Dump, tools::Quantity::Frequency,
     0.1},
    {"display dump, period, 1 s gate", tools::TelegramFormat::Dump, tools::Quantity::Period, 1.0},
    {"display dump, offset, 1 s gate", tools::TelegramFormat::Dump, tools::Quantity::Offset, 1.0},
};

// The virtual counter's telegrams with the value and unit the driver makes of them.
std::vector<Telegram> makeTelegrams(const Variant& variant, std::size_t count) {
    tools::CounterState state;
    state.format = variant.format;
    state.mode = variant.mode;
    state.gateSeconds = variant.gateSeconds;
    tools::Oscillator oscillator(4711);
    std::vector<Telegram> telegrams(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double hz = oscillator.measure(static_cast<double>(i + 1) * variant.gateSeconds,
                                             variant.gateSeconds, false);
        Telegram& t = telegrams[i];
        t.text = tools::formatReading(state, hz, tools::Oscillator::kNominalHz).text;
        if (counter::isDisplayDump(t.text)) {
            t.value = counter::parseNumber(counter::dumpNumberField(t.text)).value_or(-1) *
                      counter::unitFieldFactor(counter::dumpUnitField(t.text));
            t.unit = counter::removeSpaces(counter::dumpUnitField(t.text));
        } else {
            t.value = counter::parseNumber(t.text).value_or(-1);
            t.unit = "Hz";
        }
    }
    return telegrams;
}

double timeOf(std::size_t i, double gateSeconds) {
    // Whole milliseconds with the jitter of the event loop that stamps them.
    return static_cast<double>(i) * gateSeconds * 1000 + static_cast<double>(i % 3);
}

void printBytesPerVariant() {
    std::printf("disk bytes per reading (%zu readings, in memory):\n", kDistinctTelegrams);
    for (const Variant& variant : kVariants) {
        const std::vector<Telegram> telegrams = makeTelegrams(variant, kDistinctTelegrams);
        recording::JournalEncoder encoder;
        std::string bytes;
        for (std::size_t i = 0; i < telegrams.size(); ++i) {
            encoder.addReading(bytes, timeOf(i, variant.gateSeconds), telegrams[i].value,
                               telegrams[i].unit, telegrams[i].text);
        }
        std::printf("  %-38s %5.1f bytes (goal <= 32), e.g. \"%s\"\n", variant.name,
                    static_cast<double>(bytes.size()) / static_cast<double>(telegrams.size()),
                    telegrams.back().text.c_str());
    }
}

// Appends `count` readings in bursts of kBurst, kBurstPause apart: a pace the writer keeps up
// with (the window appends a few hundred readings a second at most), so the queue stays within
// its bound. Then closes the journal.
void benchWriter(const std::string& path, std::size_t count) {
    constexpr std::size_t kBurst = 10000;
    constexpr auto kBurstPause = std::chrono::milliseconds(20);
    const Variant& variant = kVariants[3];
    const std::vector<Telegram> telegrams = makeTelegrams(variant, kDistinctTelegrams);
    bool failed = false;
    const double processStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double callerStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto start = Clock::now();
    {
        recording::JournalWriter writer(
            platform::UniqueFd(
                ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)),
            path, {45678.5, "COM20"}, [&failed](const std::string& message) {
                std::printf("journal failed: %s\n", message.c_str());
                failed = true;
            });
        for (std::size_t i = 0; i < count; ++i) {
            const Telegram& t = telegrams[i % telegrams.size()];
            writer.appendReading(timeOf(i, variant.gateSeconds), t.value, t.unit, t.text);
            if (i % kBurst == kBurst - 1) {
                std::this_thread::sleep_for(kBurstPause);
            }
        }
        const double callerSeconds = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - callerStart;
        std::printf("writer (%s, %zu readings):\n", variant.name, count);
        std::printf("  caller: %.0f ns processor time per append\n",
                    callerSeconds * 1e9 / static_cast<double>(count));
        writer.close();
        const double allSeconds = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processStart;
        std::printf("  writer thread: %.0f ns processor time per reading (encode, write, sync)\n",
                    (allSeconds - callerSeconds) * 1e9 / static_cast<double>(count));
    }
    const double wall = secondsSince(start);
    struct stat info {};
    stat(path.c_str(), &info);
    std::printf("  %.1f bytes on disk per reading; all written and synced after %.2f s%s\n",
                static_cast<double>(info.st_size) / static_cast<double>(count), wall,
                failed ? " FAILED" : "");
}

// The reader alone: what the window does with each reading is its log's cost.
void benchRecovery(const std::string& path, std::size_t count) {
    std::size_t readings = 0;
    double sum = 0;
    const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = Clock::now();
    const recording::JournalReadResult result =
        recording::readJournal(path, [&](const recording::JournalRecord& r) {
            ++readings;
            sum += r.value;
        });
    const double wall = secondsSince(start);
    std::printf("recovery: %zu readings (mean %.3f) in %.2f s wall, %.2f s processor time (goal "
                "< 2 s for 1e7)%s%s\n",
                readings, sum / static_cast<double>(readings), wall,
                cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart,
                readings == count ? "" : " MISSING READINGS ",
                recording::journalReportText(result.report).c_str());
}

// A .dat file as the window saves it: three header lines, then "time value" with CR LF.
void writeDat(const std::string& path, std::size_t count) {
    const std::vector<Telegram> telegrams = makeTelegrams(kVariants[0], kDistinctTelegrams);
    std::ofstream out(path, std::ios::binary);
    out << "/* KELVO counter data: t/ms, f/Hz\r\n/* 1/21/2025 2:57:46 AM\r\n/*\r\n";
    std::string chunk;
    char number[64];
    for (std::size_t i = 0; i < count; ++i) {
        chunk.append(number, std::to_chars(number, number + sizeof number, timeOf(i, 1.0)).ptr);
        chunk += ' ';
        chunk += telegrams[i % telegrams.size()].text;
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
}

void benchOpenDat(const std::string& path, std::size_t count) {
    writeDat(path, count);
    const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = Clock::now();
    const recording::MeasurementFile file =
        recording::readMeasurementFile(path, QLocale(QLocale::English, QLocale::UnitedStates));
    const double wall = secondsSince(start);
    std::printf("open .dat: %zu lines in %.2f s wall, %.2f s processor time (goal < 3 s for 1e7)"
                "%s %s\n",
                file.readings.size(), wall, cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart,
                file.readings.size() == count && file.badLines == 0 ? "" : " MISREAD",
                recording::measurementFileReportText(file).c_str());
}

void printUsage() {
    std::printf("usage: journal_bench [READINGS] [--dir FOLDER]\n"
                "  Disk bytes per reading of the counter's telegrams; the journal writer's\n"
                "  processor time per reading (caller and writer thread) for READINGS readings\n"
                "  (default 10000000); recovering that journal (goal < 2 s for 1e7); opening a\n"
                "  .dat file of READINGS lines (goal < 3 s for 1e7). Files go to a temporary\n"
                "  folder in FOLDER (default the system's temporary folder) and are removed.\n");
}

} // namespace

int main(int argc, char** argv) {
    std::size_t count = 10'000'000;
    QString folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printUsage();
            return 0;
        }
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            folder = QString::fromLocal8Bit(argv[++i]);
        } else if (const long n = std::atol(argv[i]); n > 0) {
            count = static_cast<std::size_t>(n);
        } else {
            printUsage();
            return 1;
        }
    }
    QCoreApplication app(argc, argv);
    const auto dir = folder.isEmpty()
                         ? std::make_unique<QTemporaryDir>()
                         : std::make_unique<QTemporaryDir>(folder + "/journal-bench-XXXXXX");
    if (!dir->isValid()) {
        std::printf("cannot make a temporary folder\n");
        return 1;
    }
    printBytesPerVariant();
    const std::string journal = dir->filePath("bench.journal").toStdString();
    benchWriter(journal, count);
    benchRecovery(journal, count);
    benchOpenDat(dir->filePath("bench.dat").toStdString(), count);
    return 0;
}
