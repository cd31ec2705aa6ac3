// SPDX-License-Identifier: GPL-3.0-or-later
// saveData of a log of arbitrary readings (any doubles, NaN and infinities included) with an
// arbitrary start time, into a scratch folder; the file is read back and checked line by line.
// Byte 0: bits 0-2 pick the extension, bit 3 a comma locale. Then 8 bytes of start time, then
// 16 bytes per reading (time, value).

#include "app/formats/data_export.h"
#include "app/log_model.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/scratch_folder.h"

#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kLargestFifteenDigits = 1.79769313486231e308;

const char* const kExtensions[] = {".dat", ".csv", ".dat", ".csv", ".DAT", "", ".txt", ".dat "};

double doubleAt(const std::uint8_t* data) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    return value;
}

std::vector<std::string> crLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        FUZZ_CHECK(end != std::string::npos); // every line ends in CR LF
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A number token reads back as the logged number, to the 15 digits the log shows.
void checkNumber(std::string token, double expected, char separator) {
    for (char& c : token) {
        FUZZ_CHECK(!(c >= 'A' && c <= 'Z'));
        FUZZ_CHECK(c != ' ' && c != ';' && c != '\r' && c != '\n');
        if (c == separator) {
            c = '.';
        }
    }
    char* end = nullptr;
    const double read = std::strtod(token.c_str(), &end);
    FUZZ_CHECK(!token.empty() && *end == '\0');
    if (std::isnan(expected)) {
        FUZZ_CHECK(std::isnan(read));
    } else if (std::isinf(expected) || expected == 0) {
        FUZZ_CHECK(read == expected);
    } else {
        // 15 digits of the largest doubles may round up past the range; no reading is that large.
        const bool roundedPastRange =
            std::isinf(read) && std::fabs(expected) > kLargestFifteenDigits;
        FUZZ_CHECK(roundedPastRange || std::fabs(read - expected) <= 1e-14 * std::fabs(expected));
    }
}

// The time token keeps the machine's separator in both formats; only the ".dat" value has ".".
void checkReading(const std::string& line, bool dat, double time, double value, char separator) {
    const std::size_t cut = line.find(dat ? ' ' : ';');
    FUZZ_CHECK(cut != std::string::npos);
    checkNumber(line.substr(0, cut), time, separator);
    checkNumber(line.substr(cut + 1), value, dat ? '.' : separator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) {
        return 0;
    }
    static QTemporaryDir dir(scratchFolderTemplate());
    const std::string extension = kExtensions[data[0] & 7];
    const bool comma = (data[0] & 8) != 0;
    const char separator = comma ? ',' : '.';
    const QLocale locale = comma ? QLocale(QLocale::German, QLocale::Germany)
                                 : QLocale(QLocale::English, QLocale::UnitedStates);
    const double startTime = doubleAt(data + 1);

    app::LogModel log(separator);
    std::vector<std::pair<double, double>> readings;
    for (std::size_t at = 9; at + 16 <= size; at += 16) {
        readings.emplace_back(doubleAt(data + at), doubleAt(data + at + 8));
        log.append(readings.back().first, readings.back().second);
    }

    const std::string fileName = dir.filePath("export").toStdString() + extension;
    FUZZ_CHECK(app::saveData(fileName, extension, log, startTime, locale).empty());
    std::ifstream in(fileName, std::ios::binary);
    if (extension != ".dat" && extension != ".csv") {
        FUZZ_CHECK(!in.is_open());
        return 0;
    }
    FUZZ_CHECK(in.is_open());
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(fileName.c_str());
    const std::vector<std::string> lines = crLfLines(bytes);

    const bool dat = extension == ".dat";
    const std::size_t header = dat ? 3 : 0;
    FUZZ_CHECK(lines.size() == header + readings.size());
    if (dat) {
        FUZZ_CHECK(lines[0] == "/* KELVO counter data: t/ms, f/Hz");
        FUZZ_CHECK(lines[1].compare(0, 3, "/* ") == 0 && lines[1].find('\n') == std::string::npos);
        FUZZ_CHECK(lines[2] == "/*");
    }
    for (std::size_t i = 0; i < readings.size(); ++i) {
        checkReading(lines[header + i], dat, readings[i].first, readings[i].second, separator);
    }
    return 0;
}
