// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of the measurement log: appending a million readings, making their lines, exporting them.
#include "app/formats/data_export.h"
#include "app/log_model.h"
#include "bench/bench_options.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <malloc.h>

namespace {

using Clock = std::chrono::steady_clock;

double nsPer(Clock::duration d, int n) {
    return std::chrono::duration<double, std::nano>(d).count() / n;
}

} // namespace

int main(int argc, char** argv) {
    bench::parseOptions(argc, argv,
                        {"log_model_bench",
                         "The measurement log alone: appending, making the lines, exporting them.",
                         0, false});
    QCoreApplication application(argc, argv);
    constexpr int N = 1'000'000;
    app::LogModel log('.');

    const std::size_t heapBefore = mallinfo2().uordblks;
    const auto appendStart = Clock::now();
    for (int i = 0; i < N; ++i) {
        log.append(i * 250.0, 10000000.0 + (i % 1000) * 0.1);
    }
    const auto appendTime = Clock::now() - appendStart;
    const std::size_t heapAfter = mallinfo2().uordblks;

    std::size_t bytes = 0;
    const auto lineStart = Clock::now();
    for (int i = 0; i < N; ++i) {
        bytes += log.line(i).size();
    }
    const auto lineTime = Clock::now() - lineStart;

    QTemporaryDir dir;
    const auto saveStart = Clock::now();
    const std::string error =
        app::saveData(dir.filePath("bench.dat").toStdString(), ".dat", log, 46000.5);
    const auto saveTime = Clock::now() - saveStart;

    std::printf("readings:            %d\n", N);
    std::printf("append:              %.1f ns per reading\n", nsPer(appendTime, N));
    std::printf("memory:              %.1f bytes per reading\n",
                static_cast<double>(heapAfter - heapBefore) / N);
    std::printf("line text:           %.1f ns per line (%.1f bytes average)\n", nsPer(lineTime, N),
                static_cast<double>(bytes) / N);
    std::printf("export .dat:         %.1f ns per line, %s\n", nsPer(saveTime, N),
                error.empty() ? "written" : error.c_str());
    return error.empty() ? 0 : 1;
}
