// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_file.h"

#include "recording/local_date_text.h"
#include "recording/utc_time.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recording {
namespace {

constexpr std::string_view kCommentStart = "/*";
constexpr std::string_view kDateLineStart = "/* ";
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
constexpr std::size_t kLongestNumber = 40;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool equalsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] | 0x20) != lower[i]) {
            return false;
        }
    }
    return true;
}

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

// Out of range for std::from_chars, yet a number as written: the nearest double, as strtod in
// the C locale gives it (infinity or a tiny value).
double nearestDouble(const char* text) {
    static const locale_t cLocale = ::newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return ::strtod_l(text, nullptr, cLocale);
}

// A number as the program writes it: [-]digits[(.|,)digits][(e|E)[+|-]digits], or nan, inf,
// -inf.
bool parseNumber(std::string_view token, double& value) {
    if (token.empty() || token.size() > kLongestNumber) {
        return false;
    }
    const std::size_t sign = token[0] == '-' ? 1 : 0;
    const std::string_view magnitude = token.substr(sign);
    if (equalsIgnoringCase(magnitude, "inf")) {
        value = sign ? -std::numeric_limits<double>::infinity()
                     : std::numeric_limits<double>::infinity();
        return true;
    }
    if (sign == 0 && equalsIgnoringCase(magnitude, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    char text[kLongestNumber + 1];
    std::memcpy(text, token.data(), token.size());
    text[token.size()] = '\0';
    std::size_t at = skipDigits(token, sign);
    if (at == sign) {
        return false;
    }
    if (at < token.size() && (token[at] == '.' || token[at] == ',')) {
        text[at] = '.';
        const std::size_t fraction = at + 1;
        at = skipDigits(token, fraction);
        if (at == fraction) {
            return false;
        }
    }
    if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
        ++at;
        if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
            ++at;
        }
        const std::size_t exponent = at;
        at = skipDigits(token, exponent);
        if (at == exponent) {
            return false;
        }
    }
    if (at != token.size()) {
        return false;
    }
    const auto [end, error] = std::from_chars(text, text + token.size(), value);
    if (error == std::errc::result_out_of_range) {
        value = nearestDouble(text);
    }
    return end == text + token.size();
}

// Takes the file line by line, in pieces as they are read.
class MeasurementParser {
public:
    explicit MeasurementParser(const QLocale& locale) : locale_(locale) {}

    // Parses the complete lines of `bytes` (and with `atEnd` a last line without an ending);
    // returns how many bytes it used.
    std::size_t parse(std::string_view bytes, bool atEnd) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find('\n', start);
            if (end == std::string_view::npos && !atEnd) {
                break;
            }
            const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
            std::string_view line = bytes.substr(start, stop - start);
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            addLine(line);
            start = end == std::string_view::npos ? bytes.size() : end + 1;
        }
        return start;
    }

    // Room for the readings of a file of `fileBytes` bytes, judged by the lines read so far.
    void reserveFor(std::uint64_t fileBytes, std::uint64_t bytesRead) {
        if (bytesRead > 0 && !file_.readings.empty()) {
            const double perByte = static_cast<double>(file_.readings.size()) / bytesRead;
            file_.readings.reserve(static_cast<std::size_t>(perByte * 1.05 * fileBytes) + 16);
        }
    }

    MeasurementFile take() { return std::move(file_); }

private:
    void addLine(std::string_view line) {
        ++lineNumber_;
        if (lineNumber_ == 1) {
            file_.hasHeader = line.substr(0, kCommentStart.size()) == kCommentStart;
            separator_ = file_.hasHeader ? ' ' : ';';
            if (line == kTimestampedCsvHeader) {
                file_.timestamped = true;
                return;
            }
        }
        if (file_.timestamped) {
            addTimestampedLine(line);
            return;
        }
        if (inHeader_ && file_.hasHeader && line.substr(0, kCommentStart.size()) == kCommentStart) {
            if (lineNumber_ == 2) {
                readDateLine(line);
            }
            return;
        }
        inHeader_ = false;
        const std::size_t cut = line.find(separator_);
        MeasurementPoint point;
        if (cut != std::string_view::npos && parseNumber(line.substr(0, cut), point.timeMs) &&
            parseNumber(line.substr(cut + 1), point.value)) {
            if (!file_.readings.empty() && point.timeMs < file_.readings.back().timeMs &&
                file_.firstLineBack == 0) {
                file_.firstLineBack = lineNumber_;
            }
            if (!withinAnyCountersRange(point.timeMs, point.value) &&
                file_.firstLineOutOfRange == 0) {
                file_.firstLineOutOfRange = lineNumber_;
            }
            file_.readings.push_back(point);
        } else {
            noteBadLine();
        }
    }

    // "UTC time,value": the times count from the first reading, which is the start.
    void addTimestampedLine(std::string_view line) {
        const std::size_t cut = line.find(',');
        const std::optional<std::int64_t> utcMs =
            cut == std::string_view::npos ? std::nullopt : parseUtcText(line.substr(0, cut));
        MeasurementPoint point;
        if (!utcMs || !parseNumber(line.substr(cut + 1), point.value)) {
            noteBadLine();
            return;
        }
        if (!firstUtcMs_) {
            firstUtcMs_ = utcMs;
            file_.startTime = localDateTimeOfUtcMs(*utcMs);
        }
        point.timeMs = static_cast<double>(*utcMs - *firstUtcMs_);
        if (!file_.readings.empty() && point.timeMs < file_.readings.back().timeMs &&
            file_.firstLineBack == 0) {
            file_.firstLineBack = lineNumber_;
        }
        file_.readings.push_back(point);
    }

    void noteBadLine() {
        ++file_.badLines;
        if (file_.firstBadLine == 0) {
            file_.firstBadLine = lineNumber_;
        }
    }

    void readDateLine(std::string_view line) {
        if (line.substr(0, kDateLineStart.size()) != kDateLineStart) {
            return;
        }
        file_.startTimeText = line.substr(kDateLineStart.size());
        file_.startTime = parseLocalDateTime(file_.startTimeText, locale_);
    }

    const QLocale& locale_;
    MeasurementFile file_;
    std::uint64_t lineNumber_ = 0;
    bool inHeader_ = true;
    char separator_ = ';';
    std::optional<std::int64_t> firstUtcMs_;
};

} // namespace

bool withinAnyCountersRange(double timeMs, double value) {
    constexpr double kLargest = 1e15;
    constexpr double kSmallest = 1e-15;
    const double size = std::fabs(value);
    return std::fabs(timeMs) <= kLargest &&
           (!std::isfinite(value) || size == 0 || (size >= kSmallest && size <= kLargest));
}

MeasurementFile readMeasurementFile(const std::string& path, const QLocale& locale) {
    MeasurementParser parser(locale);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        MeasurementFile file;
        file.error = std::strerror(errno);
        return file;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    struct stat info {};
    const std::uint64_t fileBytes = ::fstat(fd, &info) == 0 ? info.st_size : 0;
    std::string buffer;
    std::size_t held = 0;
    std::uint64_t bytesRead = 0;
    std::string error;
    for (bool atEnd = false; !atEnd;) {
        // A line longer than a chunk makes the buffer grow until its end is in.
        buffer.resize(held + kReadChunk);
        const ssize_t got = ::read(fd, buffer.data() + held, kReadChunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = std::strerror(errno);
        }
        atEnd = got <= 0;
        held += static_cast<std::size_t>(atEnd ? 0 : got);
        const std::size_t used = parser.parse(std::string_view(buffer.data(), held), atEnd);
        if (bytesRead == 0) {
            parser.reserveFor(fileBytes, used);
        }
        bytesRead += used;
        std::memmove(buffer.data(), buffer.data() + used, held - used);
        held -= used;
    }
    ::close(fd);
    MeasurementFile file = parser.take();
    file.error = error;
    return file;
}

MeasurementFile parseMeasurementText(std::string_view text, const QLocale& locale) {
    MeasurementParser parser(locale);
    parser.parse(text, true);
    return parser.take();
}

std::string measurementFileReportText(const MeasurementFile& file) {
    std::string text;
    if (!file.error.empty()) {
        text = "The file could not be read: " + file.error + '.';
    }
    const auto append = [&text](const std::string& sentence) {
        text += (text.empty() ? "" : " ") + sentence;
    };
    if (file.badLines > 0) {
        append(std::to_string(file.badLines) + (file.badLines == 1 ? " line is" : " lines are") +
               " no reading and " + (file.badLines == 1 ? "was" : "were") +
               " left out, the first is line " + std::to_string(file.firstBadLine) + '.');
    }
    if (file.hasHeader && !file.startTime) {
        append(file.startTimeText.empty()
                   ? std::string("The file holds no start time.")
                   : "The start time \"" + file.startTimeText +
                         "\" does not read as a date in this machine's format; the readings "
                         "keep their times since the start.");
    }
    return text;
}

} // namespace recording
