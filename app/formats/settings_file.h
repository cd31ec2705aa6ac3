// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace app {

// What "Zorvimet.ini" carries from one run to the next, one line each.
struct Settings {
    std::string savedPort;
    double timeDivisor = 1;
    double frequencyDivisor = 1;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int filterShow = 255;
    int filterType = 255;

    bool operator==(const Settings&) const = default;
};

// The settings file in the executable's folder; empty when the folder is unknown.
// File names here and in the export are in the local 8-bit file-name encoding.
std::string settingsFileName(const std::string& executableFolder);

// Reads the settings file over `settings`, which holds the window's current values on entry:
// the port and divisors start from their defaults, and every other field keeps its value unless
// the file supplies it. A missing file is no error. Returns "" or the message to show
// ("Invalid numeric input"; the values read before the bad token stay).
// Divisors of 0 or not finite fall back to 1, masks keep their low 8 bits and 0 becomes 255.
std::string readSettings(const std::string& fileName, Settings& settings);

// Writes all nine lines (CR LF) through a temporary file (0600) renamed over the old one, so a
// failed write leaves the previous file whole and a link in its place is replaced, never
// followed. Returns "" or "File access denied".
std::string writeSettings(const std::string& fileName, const Settings& settings);

// A real number as the settings file holds it: " 6.00000000000000E+0001".
std::string settingsRealText(double value);

} // namespace app
