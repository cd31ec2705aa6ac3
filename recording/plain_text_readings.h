// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace recording {

// Readings from a plain text file of another program, one per line:
// - one column: values one tau0 apart (the first at time 0), or
// - two columns: time in s, value.
// Columns are separated by blanks or tabs, or by a comma or semicolon; "." is the decimal
// point. The first line that reads as one or two numbers sets the number of columns. Empty
// lines and lines starting with "#" are skipped; any other line that is not numbers in that
// many columns is bad: counted and left out, never taken as a missing reading (a value "nan"
// keeps a place in time without a value). Lines end in LF or CR LF.
struct PlainTextReadings {
    std::vector<analysis::Reading> readings;
    bool hasTimeStamps = false; // two columns
    std::uint64_t badLines = 0;
    std::uint64_t firstBadLine = 0; // counted from 1; 0 when there were none
    // As recording::MeasurementFile has them: the first reading whose time goes back, and the
    // first out of any counter's range.
    std::uint64_t firstLineBack = 0;
    std::uint64_t firstLineOutOfRange = 0;
};

PlainTextReadings parsePlainText(std::string_view text, double tau0Seconds,
                                 analysis::Quantity quantity);

// Whether a file is plain text rather than one the window saved: it neither starts with the
// three "/*" header lines of a .dat, whatever its name, nor is named ".dat" or ".csv" (in any
// letter case).
bool isPlainText(std::string_view path, std::string_view text);

} // namespace recording
