// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/plain_text_readings.h"

#include "recording/measurement_file.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace recording {

namespace {

constexpr std::size_t kMostColumns = 2;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isSeparator(char c) {
    return isBlank(c) || c == ',' || c == ';';
}

struct Fields {
    std::array<double, kMostColumns> numbers{};
    std::size_t count = 0;
    bool valid = true;
};

// The numbers of a line; a field that is no number, or more than two, make it invalid.
Fields readFields(std::string_view line) {
    Fields fields;
    std::size_t at = 0;
    while (at < line.size() && fields.valid) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        std::size_t end = at;
        while (end < line.size() && !isSeparator(line[end])) {
            ++end;
        }
        if (fields.count == kMostColumns) {
            fields.valid = false;
            break;
        }
        double& number = fields.numbers[fields.count++];
        const auto [stop, error] = std::from_chars(line.data() + at, line.data() + end, number);
        fields.valid = error == std::errc() && stop == line.data() + end && end > at;
        at = end;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        // One comma or semicolon may stand between two fields, not after the last.
        if (at < line.size() && (line[at] == ',' || line[at] == ';')) {
            ++at;
            fields.valid = fields.valid && at < line.size();
        }
    }
    return fields;
}

// The three "/*" lines a .dat starts with.
bool hasDatHeader(std::string_view text) {
    for (int line = 0; line < 3; ++line) {
        if (!text.starts_with("/*")) {
            return false;
        }
        const std::size_t end = text.find('\n');
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return true;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view lowerEnd) {
    return text.size() >= lowerEnd.size() &&
           std::equal(lowerEnd.begin(), lowerEnd.end(), text.end() - lowerEnd.size(),
                      [](char lower, char c) { return lower == (c | 0x20); });
}

} // namespace

bool isPlainText(std::string_view path, std::string_view text) {
    return !hasDatHeader(text) && !endsWithIgnoringCase(path, ".dat") &&
           !endsWithIgnoringCase(path, ".csv");
}

PlainTextReadings parsePlainText(std::string_view text, double tau0Seconds,
                                 analysis::Quantity quantity) {
    PlainTextReadings result;
    std::size_t columns = 0;
    std::uint64_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t newline = text.find('\n', start);
        const std::size_t stop = newline == std::string_view::npos ? text.size() : newline;
        std::string_view line = text.substr(start, stop - start);
        start = stop + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        const Fields fields = readFields(line.substr(first));
        if (fields.valid && columns == 0) {
            columns = fields.count;
            result.hasTimeStamps = columns == 2;
        }
        if (!fields.valid || fields.count != columns) {
            ++result.badLines;
            result.firstBadLine = result.firstBadLine == 0 ? lineNumber : result.firstBadLine;
            continue;
        }
        const double index = static_cast<double>(result.readings.size());
        const double timeMs = 1000.0 * (columns == 2 ? fields.numbers[0] : index * tau0Seconds);
        const double value = fields.numbers[columns - 1];
        if (!result.readings.empty() && timeMs < result.readings.back().timeMs &&
            result.firstLineBack == 0) {
            result.firstLineBack = lineNumber;
        }
        if (!withinAnyCountersRange(timeMs, value) && result.firstLineOutOfRange == 0) {
            result.firstLineOutOfRange = lineNumber;
        }
        result.readings.push_back({timeMs, value, quantity});
    }
    return result;
}

} // namespace recording
