// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/reading.h"

#include <map>
#include <string>
#include <vector>

namespace analysis_test {

// A csv file of tests/data/stability as rows of named columns.
using CsvRow = std::map<std::string, std::string>;
std::vector<CsvRow> readCsv(const std::string& relativePath);
// The same from the text of a csv file.
std::vector<CsvRow> parseCsv(const std::string& text);

std::vector<double> readNumbers(const std::string& relativePath);
// The readings of a .dat file of the window.
std::vector<analysis::Reading> readDat(const std::string& relativePath);

double number(const CsvRow& row, const std::string& column);

// Phase readings of the oscillator behind these fractional frequencies, one every tau0Ms from
// tau0Ms on: x_0 = 0, x_k = tau0 (y_0 + ... + y_(k-1)), N + 1 readings for N frequencies. y_0 is
// taken out of every y first: a constant frequency offset changes no deviation, but phase growing
// with the series' 1.2e-6 to 5e-3 s would itself be rounded to 1e-18 s, which moves MDEV of wpm at
// tau 1024 s by 2e-8.
std::vector<analysis::Reading> phaseReadings(const std::vector<double>& fractional,
                                             double tau0Ms = 1000);

} // namespace analysis_test
