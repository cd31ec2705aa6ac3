// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <QDateTime>
#include <chrono>
#include <ctime>

namespace platform {

double nowDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    // Whole local days plus the local time of day, so a DST shift never moves the date.
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(now.date()));
    return days + now.time().msecsSinceStartOfDay() / 86'400'000.0;
}

std::int64_t monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double processorMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace platform
