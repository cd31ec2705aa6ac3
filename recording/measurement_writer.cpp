// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/measurement_writer.h"

#include "recording/date_text.h"
#include "recording/float_text.h"
#include "recording/utc_time.h"

#include "platform/replacing_file.h"

#include <algorithm>
#include <cmath>

namespace recording {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kChunkBytes = 64 * 1024;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; });
    return text;
}

// Collects text and hands it to the file in large chunks; the file remembers the first failure.
class ChunkedWriter {
public:
    explicit ChunkedWriter(platform::ReplacingFile& file) : file_(file) {}

    void add(std::string_view text) {
        buffer_ += text;
        if (buffer_.size() >= kChunkBytes) {
            flush();
        }
    }

    void finish() { flush(); }

private:
    void flush() {
        file_.write(buffer_);
        buffer_.clear();
    }

    platform::ReplacingFile& file_;
    std::string buffer_;
};

} // namespace

std::optional<MeasurementFormat> measurementFormatOf(std::string_view extension) {
    if (extension == ".dat") {
        return MeasurementFormat::Dat;
    }
    if (extension == ".csv") {
        return MeasurementFormat::Csv;
    }
    return std::nullopt;
}

std::string datHeader(double startTime, const QLocale& locale, std::string_view lineEnd) {
    const std::string end(lineEnd);
    return "/* KELVO counter data: t/ms, f/Hz" + end + "/* " + dateTimeToStr(startTime, locale) +
           end + "/*" + end;
}

std::string measurementLine(MeasurementFormat format, double timeMs, double value,
                            char decimalSeparator) {
    const std::string time = lowerCase(floatToStr(timeMs, decimalSeparator));
    if (format == MeasurementFormat::Dat) {
        return time + ' ' + lowerCase(floatToStr(value, '.'));
    }
    return time + ';' + lowerCase(floatToStr(value, decimalSeparator));
}

std::string timestampedLine(std::int64_t startUtcMs, double timeMs, double value) {
    return utcText(startUtcMs + std::llround(timeMs)) + ',' + lowerCase(floatToStr(value, '.'));
}

std::string saveMeasurement(const std::string& path, MeasurementFormat format, std::size_t count,
                            const ReadingAt& readingAt, double startTime, const QLocale& locale) {
    if (path.empty()) {
        return "no file name";
    }
    const bool timestamped = format == MeasurementFormat::TimestampedCsv;
    const std::optional<std::int64_t> startUtcMs = utcMsOfLocalDateTime(startTime);
    if (timestamped && !startUtcMs) {
        return "the start time of the measurement is unknown, so are its UTC times";
    }
    platform::ReplacingFile file(path);
    if (std::string error = file.open(); !error.empty()) {
        return error;
    }
    const char separator = decimalSeparatorOf(locale);
    ChunkedWriter out(file);
    if (format == MeasurementFormat::Dat) {
        out.add(datHeader(startTime, locale, kLineEnd));
    } else if (timestamped) {
        out.add(kTimestampedCsvHeader);
        out.add(kLineEnd);
    }
    for (std::size_t i = 0; i < count && file.error().empty(); ++i) {
        const MeasurementPoint point = readingAt(i);
        out.add(timestamped ? timestampedLine(*startUtcMs, point.timeMs, point.value)
                            : measurementLine(format, point.timeMs, point.value, separator));
        out.add(kLineEnd);
    }
    out.finish();
    return file.commit();
}

} // namespace recording
