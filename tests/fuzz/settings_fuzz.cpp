// SPDX-License-Identifier: GPL-3.0-or-later
// readSettings on an arbitrary "Zorvimet.ini": whatever the file holds, the values that come out
// are usable (masks 1..255, divisors finite and not 0), and writing them and reading them again
// gives the same values.

#include "app/formats/settings_file.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/scratch_folder.h"

#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace {

// What a window holds before reading: its designed geometry.
app::Settings windowValues() {
    return app::Settings{"COM99", 7, 7, 614, 225, 1148, 574, 255, 255};
}

void checkWithinLimits(const app::Settings& s) {
    FUZZ_CHECK(s.filterShow >= 1 && s.filterShow <= 255);
    FUZZ_CHECK(s.filterType >= 1 && s.filterType <= 255);
    FUZZ_CHECK(std::isfinite(s.timeDivisor) && s.timeDivisor != 0);
    FUZZ_CHECK(std::isfinite(s.frequencyDivisor) && s.frequencyDivisor != 0);
    FUZZ_CHECK(s.savedPort.find_first_of("\r\n") == std::string::npos);
}

bool close(double a, double b) {
    return std::fabs(a - b) <= 1e-14 * std::fabs(a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir(scratchFolderTemplate());
    const std::string fileName = app::settingsFileName(dir.path().toStdString());
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << bytes;

    app::Settings s = windowValues();
    const std::string error = app::readSettings(fileName, s);
    FUZZ_CHECK(error.empty() || error == "Invalid numeric input");
    checkWithinLimits(s);
    FUZZ_CHECK(s.savedPort == bytes.substr(0, bytes.find_first_of("\r\n")));

    FUZZ_CHECK(app::writeSettings(fileName, s).empty());
    app::Settings back = windowValues();
    FUZZ_CHECK(app::readSettings(fileName, back).empty());
    checkWithinLimits(back);
    FUZZ_CHECK(back.savedPort == s.savedPort);
    FUZZ_CHECK(close(s.timeDivisor, back.timeDivisor));
    FUZZ_CHECK(close(s.frequencyDivisor, back.frequencyDivisor));
    FUZZ_CHECK(back.left == s.left && back.top == s.top);
    FUZZ_CHECK(back.width == s.width && back.height == s.height);
    FUZZ_CHECK(back.filterShow == s.filterShow && back.filterType == s.filterType);
    return 0;
}
