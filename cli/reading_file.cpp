// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/reading_file.h"

#include "cli/plain_text_readings.h"
#include "recording/measurement_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

// The first line of the two (0 for none) and what is wrong there.
std::string faultText(std::uint64_t lineBack, std::uint64_t lineOutOfRange) {
    if (lineOutOfRange != 0 && (lineBack == 0 || lineOutOfRange < lineBack)) {
        return "line " + std::to_string(lineOutOfRange) +
               " holds a time or value beyond what any counter gives; no result comes from "
               "such readings";
    }
    if (lineBack != 0) {
        return "the time goes back at line " + std::to_string(lineBack) +
               "; no result comes from readings out of time order";
    }
    return {};
}

ReadingFile readWindowFile(const std::string& path, bool periods) {
    // The locale only matters for the start date of a .dat header, which is not needed here.
    const recording::MeasurementFile file = recording::readMeasurementFile(path, QLocale::c());
    ReadingFile result;
    result.error = file.error;
    result.badLines = file.badLines;
    result.firstBadLine = file.firstBadLine;
    result.fault = faultText(file.firstLineBack, file.firstLineOutOfRange);
    result.readings.reserve(file.readings.size());
    for (const recording::MeasurementPoint& point : file.readings) {
        result.readings.push_back(
            {point.timeMs, point.value,
             periods ? analysis::Quantity::Period : analysis::Quantity::Frequency});
    }
    return result;
}

// The whole file into `text`; the reason when it cannot be read.
std::string readWholeFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    std::string error;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
        }
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return error;
}

ReadingFile readPlainFile(const std::string& path, const ReadingFileOptions& options) {
    ReadingFile result;
    std::string text;
    result.error = readWholeFile(path, text);
    if (!result.error.empty()) {
        return result;
    }
    PlainTextReadings plain = parsePlainText(text, options.tau0Seconds, options.periods);
    result.readings = std::move(plain.readings);
    result.layout = plain.hasTimeStamps ? FileLayout::TimeValue : FileLayout::OneColumn;
    result.badLines = plain.badLines;
    result.firstBadLine = plain.firstBadLine;
    result.fault = faultText(plain.firstLineBack, plain.firstLineOutOfRange);
    return result;
}

bool endsWithIgnoringCase(const std::string& text, std::string_view lowerEnd) {
    return text.size() >= lowerEnd.size() &&
           std::equal(lowerEnd.begin(), lowerEnd.end(), text.end() - lowerEnd.size(),
                      [](char lower, char c) { return lower == (c | 0x20); });
}

bool isWindowFile(const std::string& path) {
    return endsWithIgnoringCase(path, ".dat") || endsWithIgnoringCase(path, ".csv");
}

} // namespace

ReadingFile readReadingFile(const std::string& path, const ReadingFileOptions& options) {
    return !options.plainText && isWindowFile(path) ? readWindowFile(path, options.periods)
                                                    : readPlainFile(path, options);
}

} // namespace cli
