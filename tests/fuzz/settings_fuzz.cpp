// ReadSettings on an arbitrary "Zorvimet.ini": whatever the file holds, the values that come out
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
app::TSettings WindowValues() {
    return app::TSettings{"COM99", 7, 7, 614, 225, 1148, 574, 255, 255};
}

void CheckWithinLimits(const app::TSettings& s) {
    FUZZ_CHECK(s.FilterShow >= 1 && s.FilterShow <= 255);
    FUZZ_CHECK(s.FilterType >= 1 && s.FilterType <= 255);
    FUZZ_CHECK(std::isfinite(s.TimeDivisor) && s.TimeDivisor != 0);
    FUZZ_CHECK(std::isfinite(s.FrequencyDivisor) && s.FrequencyDivisor != 0);
    FUZZ_CHECK(s.SavedPort.find_first_of("\r\n") == std::string::npos);
}

bool Close(double a, double b) {
    return std::fabs(a - b) <= 1e-14 * std::fabs(a);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir(ScratchFolderTemplate());
    const std::string fileName = app::SettingsFileName(dir.path().toStdString());
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(fileName, std::ios::binary | std::ios::trunc) << bytes;

    app::TSettings s = WindowValues();
    const std::string error = app::ReadSettings(fileName, s);
    FUZZ_CHECK(error.empty() || error == "Invalid numeric input");
    CheckWithinLimits(s);
    FUZZ_CHECK(s.SavedPort == bytes.substr(0, bytes.find_first_of("\r\n")));

    FUZZ_CHECK(app::WriteSettings(fileName, s).empty());
    app::TSettings back = WindowValues();
    FUZZ_CHECK(app::ReadSettings(fileName, back).empty());
    CheckWithinLimits(back);
    FUZZ_CHECK(back.SavedPort == s.SavedPort);
    FUZZ_CHECK(Close(s.TimeDivisor, back.TimeDivisor));
    FUZZ_CHECK(Close(s.FrequencyDivisor, back.FrequencyDivisor));
    FUZZ_CHECK(back.Left == s.Left && back.Top == s.Top);
    FUZZ_CHECK(back.Width == s.Width && back.Height == s.Height);
    FUZZ_CHECK(back.FilterShow == s.FilterShow && back.FilterType == s.FilterType);
    return 0;
}
