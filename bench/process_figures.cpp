// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/process_figures.h"

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace bench {

ProcessFigures processFigures(pid_t pid) {
    const std::string folder = pid == 0 ? "/proc/self/" : "/proc/" + std::to_string(pid) + "/";
    ProcessFigures figures;
    std::ifstream status(folder + "status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream fields(line);
        std::string name;
        double kiB = 0;
        fields >> name >> kiB;
        if (name == "VmRSS:") {
            figures.residentBytes = kiB * 1024;
        } else if (name == "VmHWM:") {
            figures.peakResidentBytes = kiB * 1024;
        }
    }
    // The command name in parentheses may hold blanks: the fields are counted after it.
    std::ifstream statFile(folder + "stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    const std::size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        double user = 0;
        double system = 0;
        // Fields 3 .. 13 come before utime (14) and stime (15).
        for (int i = 3; i <= 13 && fields >> field; ++i) {
        }
        fields >> user >> system;
        figures.processorSeconds = (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    return figures;
}

} // namespace bench
