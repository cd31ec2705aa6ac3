// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a measurement file of arbitrary text. Byte 0 picks the locale of the date line (bit 0:
// German, else US English); the rest is the file. Every line is a reading, a header line or a
// bad line; the readings, written again as a .dat file, read back the same.

#include "recording/measurement_file.h"
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

std::uint64_t lineCount(std::string_view text) {
    const auto ends = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
    return ends + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// The shortest text that reads back as the same double, in the file's lower-case spelling.
std::string numberText(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

bool sameNumber(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static const QLocale kGerman(QLocale::German, QLocale::Germany);
    static const QLocale kUs(QLocale::English, QLocale::UnitedStates);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const recording::MeasurementFile file =
        recording::parseMeasurementText(text, (data[0] & 1) ? kGerman : kUs);

    const std::uint64_t lines = lineCount(text);
    const std::uint64_t counted = file.readings.size() + file.badLines;
    FUZZ_CHECK(file.hasHeader ? counted < lines : counted == lines);
    FUZZ_CHECK((file.badLines == 0) == (file.firstBadLine == 0));
    FUZZ_CHECK(file.firstBadLine <= lines);
    FUZZ_CHECK(!file.startTime || file.hasHeader);
    FUZZ_CHECK(file.error.empty());
    FUZZ_CHECK(recording::measurementFileReportText(file).empty() ==
               (file.badLines == 0 && (!file.hasHeader || file.startTime)));

    std::string again = "/* KELVO counter data: t/ms, f/Hz\r\n/* \r\n/*\r\n";
    for (const recording::MeasurementPoint& p : file.readings) {
        again += numberText(p.timeMs) + ' ' + numberText(p.value) + "\r\n";
    }
    const recording::MeasurementFile reread = recording::parseMeasurementText(again, kUs);
    FUZZ_CHECK(reread.badLines == 0);
    FUZZ_CHECK(reread.readings.size() == file.readings.size());
    for (std::size_t i = 0; i < file.readings.size(); ++i) {
        FUZZ_CHECK(sameNumber(reread.readings[i].timeMs, file.readings[i].timeMs));
        FUZZ_CHECK(sameNumber(reread.readings[i].value, file.readings[i].value));
    }
    return 0;
}
