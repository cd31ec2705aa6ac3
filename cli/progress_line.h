// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// "1234 readings  10.0/s  last 10000000.52 Hz  0:02:03": the recording so far.
std::string progressText(std::uint64_t readings, double lastValue, bool inSeconds,
                         std::int64_t elapsedMs);

// "stability  42 %  0:00:03, about 0:00:04 left": an analysis so far.
std::string analysisProgressText(double fraction, std::int64_t elapsedMs);

// The progress shown on standard error when it is a terminal, one line rewritten in place at
// most four times a second.
class ProgressLine {
public:
    ProgressLine();
    void show(const std::string& text, std::int64_t nowMs);
    // Ends the line, so that what follows starts on a line of its own.
    void finish();

private:
    bool terminal_;
    bool shown_ = false;
    std::int64_t lastShownMs_ = 0;
};

} // namespace cli
