// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/influx_target.h"

#include <QByteArray>
#include <QUrl>
#include <QUrlQuery>
#include <fstream>

namespace recording {
namespace {

// The tags every point gets from the recording itself, and the names InfluxDB keeps for its own.
bool reservedTagKey(const std::string& key) {
    return key == "port" || key == "instrument" || key == "identity" || key == "quantity" ||
           key == "kind" || key == "time" || key.front() == '_';
}

std::string queryText(std::initializer_list<std::pair<const char*, std::string>> items) {
    QUrlQuery query;
    for (const auto& [name, value] : items) {
        query.addQueryItem(QString::fromLatin1(name), QString::fromStdString(value));
    }
    return query.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace

std::optional<InfluxTarget> influxTarget(const InfluxSettings& settings, std::string& error) {
    const QUrl url(QString::fromStdString(settings.url), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        error = "the database URL '" + settings.url + "' does not parse";
        return std::nullopt;
    }
    if (url.scheme() != QLatin1String("http")) {
        error = "the database URL '" + settings.url +
                "' is no http:// URL (for https put a local Telegraf or proxy in between)";
        return std::nullopt;
    }
    if (url.hasQuery() || url.hasFragment()) {
        error = "the database URL '" + settings.url + "' has a query; give only its address";
        return std::nullopt;
    }
    if (settings.database.empty() == settings.bucket.empty()) {
        error = "the database needs either a database name (InfluxDB 1.x) or a bucket (2.x)";
        return std::nullopt;
    }
    if (!settings.bucket.empty() && (settings.org.empty() || settings.token.empty())) {
        error = "a bucket needs its organisation and a token";
        return std::nullopt;
    }
    InfluxTarget target;
    target.host = url.host().toStdString();
    target.port = static_cast<std::uint16_t>(url.port(8086));
    QString base = url.path(QUrl::FullyEncoded);
    while (base.endsWith(QLatin1Char('/'))) {
        base.chop(1);
    }
    if (settings.bucket.empty()) {
        target.writePath = base.toStdString() + "/write?" +
                           queryText({{"db", settings.database}, {"precision", "ns"}});
    } else {
        target.writePath =
            base.toStdString() + "/api/v2/write?" +
            queryText({{"org", settings.org}, {"bucket", settings.bucket}, {"precision", "ns"}});
        target.headers = "Authorization: Token " + settings.token + "\r\n";
    }
    // InfluxDB 1.x takes a login as HTTP basic authentication.
    if (settings.bucket.empty() && !url.userName().isEmpty()) {
        const QByteArray login = (url.userName() + QLatin1Char(':') + url.password()).toUtf8();
        target.headers += "Authorization: Basic " + login.toBase64().toStdString() + "\r\n";
    }
    target.headers += "Content-Type: text/plain; charset=utf-8\r\n";
    target.shownUrl = url.toString(QUrl::RemovePassword | QUrl::RemoveUserInfo).toStdString();
    return target;
}

std::optional<InfluxTag> parseInfluxTag(const std::string& text, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == text.size()) {
        error = "invalid tag '" + text + "' (KEY=VALUE, neither empty)";
        return std::nullopt;
    }
    InfluxTag tag{text.substr(0, equals), text.substr(equals + 1)};
    if (reservedTagKey(tag.key)) {
        error = "the tag " + tag.key + " is the recording's own";
        return std::nullopt;
    }
    return tag;
}

std::optional<std::string> readInfluxToken(const std::string& path, std::string& error) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        error = "cannot read the token file " + path;
        return std::nullopt;
    }
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    if (first == std::string::npos) {
        error = "the token file " + path + " holds no token";
        return std::nullopt;
    }
    return line.substr(first, last - first + 1);
}

} // namespace recording
