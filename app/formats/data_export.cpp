// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/formats/data_export.h"

#include "app/formats/io_messages.h"
#include "app/log_model.h"
#include "recording/measurement_writer.h"
#include "recording/utc_time.h"

namespace app {

std::string saveData(const std::string& fileName, const std::string& extension, const LogModel& log,
                     double startTime, const QLocale& locale) {
    const auto format = recording::measurementFormatOf(extension);
    if (!format) {
        return {};
    }
    const std::string error = recording::saveMeasurement(
        fileName, *format, static_cast<std::size_t>(log.count()),
        [&log](std::size_t i) { return log.reading(static_cast<int>(i)); }, startTime, locale);
    return error.empty() ? std::string() : std::string(kFileAccessDenied);
}

std::string saveTimestampedData(const std::string& fileName, const LogModel& log,
                                double startTime) {
    if (!recording::utcMsOfLocalDateTime(startTime)) {
        return std::string(kUnknownStartTime);
    }
    const std::string error = recording::saveMeasurement(
        fileName, recording::MeasurementFormat::TimestampedCsv,
        static_cast<std::size_t>(log.count()),
        [&log](std::size_t i) { return log.reading(static_cast<int>(i)); }, startTime,
        QLocale::c());
    return error.empty() ? std::string() : std::string(kFileAccessDenied);
}

std::string fileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    const std::size_t slash = fileName.rfind('/');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return inName ? fileName.substr(dot) : std::string();
}

} // namespace app
