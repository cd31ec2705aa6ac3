// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

namespace bench {

// What the kernel tells of a process (itself by default): resident memory now and at its peak,
// in bytes, from /proc/PID/status, and the processor time it has used (user and system), in
// seconds, from /proc/PID/stat. Zero where the process is gone.
struct ProcessFigures {
    double residentBytes = 0;
    double peakResidentBytes = 0;
    double processorSeconds = 0;
};

ProcessFigures processFigures(pid_t pid = 0);

} // namespace bench
