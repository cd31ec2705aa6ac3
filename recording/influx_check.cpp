// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/influx_check.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace recording {
namespace {

// InfluxDB 1.x answers {"error": "..."}, 2.x {"code": "...", "message": "..."}; others plain text.
std::string reasonOf(const std::string& body) {
    const QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(body)).object();
    for (const char* key : {"error", "message"}) {
        const QString text = answer.value(QLatin1String(key)).toString();
        if (!text.isEmpty()) {
            return text.toStdString();
        }
    }
    std::string text = body.substr(0, body.find('\n'));
    return text.substr(0, 200);
}

} // namespace

InfluxAnswer judgeInfluxAnswer(const HttpResponse& response) {
    if (response.status == 0) {
        return {InfluxVerdict::Unreachable, response.error};
    }
    if (response.status >= 200 && response.status < 300) {
        return {InfluxVerdict::Taken, {}};
    }
    const std::string reason = reasonOf(response.body);
    const std::string why = std::to_string(response.status) + (reason.empty() ? "" : " " + reason);
    const bool refused = response.status >= 400 && response.status < 500 &&
                         response.status != 408 && response.status != 429;
    return {refused ? InfluxVerdict::Refused : InfluxVerdict::Unreachable, why};
}

InfluxAnswer checkInflux(const InfluxTarget& target, std::chrono::milliseconds timeout) {
    HttpClient client(target.host, target.port);
    return judgeInfluxAnswer(
        client.request("POST", target.writePath, target.headers, "\n", timeout));
}

} // namespace recording
