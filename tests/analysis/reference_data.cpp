// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_data.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace analysis_test {

namespace {

std::ifstream open(const std::string& relativePath) {
    const char* source = std::getenv("TALVEK_SOURCE_DIR");
    const std::string path =
        std::string(source ? source : ".") + "/tests/data/stability/" + relativePath;
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return in;
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream stream(line);
    std::string cell;
    while (std::getline(stream, cell, ',')) {
        cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') {
        cells.emplace_back();
    }
    return cells;
}

} // namespace

std::vector<CsvRow> readCsv(const std::string& relativePath) {
    std::ifstream in = open(relativePath);
    std::stringstream text;
    text << in.rdbuf();
    return parseCsv(text.str());
}

std::vector<CsvRow> parseCsv(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    const std::vector<std::string> header = split(line);
    std::vector<CsvRow> rows;
    while (std::getline(in, line)) {
        const std::vector<std::string> cells = split(line);
        CsvRow row;
        for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i) {
            row[header[i]] = cells[i];
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<double> readNumbers(const std::string& relativePath) {
    std::ifstream in = open(relativePath);
    std::vector<double> numbers;
    double value = 0;
    while (in >> value) {
        numbers.push_back(value);
    }
    return numbers;
}

std::vector<analysis::Reading> readDat(const std::string& relativePath) {
    std::ifstream in = open(relativePath);
    std::vector<analysis::Reading> readings;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("/*", 0) == 0) {
            continue;
        }
        std::istringstream fields(line);
        analysis::Reading reading;
        if (fields >> reading.timeMs >> reading.value) {
            readings.push_back(reading);
        }
    }
    return readings;
}

double number(const CsvRow& row, const std::string& column) {
    // from_chars ignores the C locale, which QCoreApplication takes from the environment.
    const std::string& text = row.at(column);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw std::runtime_error("not a number: " + text);
    }
    return value;
}

std::vector<analysis::Reading> phaseReadings(const std::vector<double>& fractional, double tau0Ms) {
    std::vector<analysis::Reading> readings{{tau0Ms, 0, analysis::Quantity::Phase}};
    double x = 0;
    for (double y : fractional) {
        x += (y - fractional.front()) * (tau0Ms / 1000);
        readings.push_back(
            {tau0Ms * static_cast<double>(readings.size() + 1), x, analysis::Quantity::Phase});
    }
    return readings;
}

} // namespace analysis_test
