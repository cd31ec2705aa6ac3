// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct ReadingFileOptions {
    bool plainText = false;   // read as plain text whatever the file's name or header
    bool periods = false;     // the values are periods in s, not frequencies in Hz
    bool phase = false;       // the values are phase (time error) in s
    double tau0Seconds = 1.0; // between the values of a one-column plain text file
};

enum class FileLayout {
    Window,    // the window's .dat or .csv: time in ms, value
    OneColumn, // plain text: values one tau0 apart
    TimeValue, // plain text: time in s, value
    Journal,   // a recording journal: time in ms, value, and the gaps it recorded
};

// The readings of a file: one as the window saves it (time in ms; either decimal separator) when
// it starts with the three "/*" header lines of a .dat, whatever its name, or is named ".dat" or
// ".csv" (in any letter case); any other file as plain text (see plain_text_readings.h). The path
// "-" reads standard input to its end, by the same rules. A recording journal (told by its first
// bytes, unless plainText) gives its readings, each with the quantity it holds, and its recorded
// gaps as Reading::gapBefore.
struct ReadingFile {
    std::vector<analysis::Reading> readings;
    FileLayout layout = FileLayout::Window;
    std::uint64_t badLines = 0;
    std::uint64_t firstBadLine = 0; // counted from 1; 0 when every line was good
    std::string error;              // why the file could not be read; empty when it was
    // What makes the readings unfit for an analysis (time going back, a reading no counter gives),
    // with the line; empty when nothing does.
    std::string fault;
    std::int64_t recordedGaps = 0; // journals
    // What the user needs to know about a journal that was not read whole; empty when it was.
    std::string notice;
};

ReadingFile readReadingFile(const std::string& path, const ReadingFileOptions& options);

// What the values of readings read with these options are.
analysis::Quantity readingQuantity(const ReadingFileOptions& options);

} // namespace cli
