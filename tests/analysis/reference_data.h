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

} // namespace analysis_test
