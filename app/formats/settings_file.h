#pragma once

#include <string>

namespace app {

// What "Zorvimet.ini" carries from one run to the next, one line each.
struct TSettings {
    std::string SavedPort;
    double TimeDivisor = 1;
    double FrequencyDivisor = 1;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int FilterShow = 255;
    int FilterType = 255;

    bool operator==(const TSettings&) const = default;
};

// The settings file in the executable's folder; empty when the folder is unknown.
// File names here and in the export are in the local 8-bit file-name encoding.
std::string SettingsFileName(const std::string& executableFolder);

// Reads the settings file over `settings`, which holds the window's current values on entry:
// the port and divisors start from their defaults, and every other field keeps its value unless
// the file supplies it. A missing file is no error. Returns "" or the message to show
// ("Invalid numeric input"; the values read before the bad token stay).
// Divisors of 0 or not finite fall back to 1, masks keep their low 8 bits and 0 becomes 255.
std::string ReadSettings(const std::string& fileName, TSettings& settings);

// Writes all nine lines (CR LF) through a temporary file renamed over the old one, so a failed
// write leaves the previous file whole. Returns "" or "File access denied".
std::string WriteSettings(const std::string& fileName, const TSettings& settings);

// A real number as the settings file holds it: " 6.00000000000000E+0001".
std::string SettingsRealText(double value);

} // namespace app
