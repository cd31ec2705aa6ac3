// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/line_protocol.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace recording {

// Where the readings go, as the user names it: InfluxDB 1.x (or what speaks its /write: Telegraf,
// VictoriaMetrics, QuestDB) by a database, with a user and password in the URL where it asks for
// a login; InfluxDB 2.x by bucket, organisation and token.
struct InfluxSettings {
    std::string url; // http://host[:port][/path], port 8086 when none is given
    std::string database;
    std::string bucket;
    std::string org;
    std::string token;
    std::vector<InfluxTag> tags; // the user's own
    bool operator==(const InfluxSettings&) const = default;
};

// The requests that write there.
struct InfluxTarget {
    std::string host;
    std::uint16_t port = 8086;
    std::string writePath; // path and query of the write request
    std::string headers;   // header lines of every request, each ending in CR LF
    std::string shownUrl;  // the URL without a password, for messages
};

// The target of `settings`, or nothing with `error` saying why: a URL that does not parse or is
// no plain http, neither or both of a database and a bucket, a bucket without organisation or
// token.
std::optional<InfluxTarget> influxTarget(const InfluxSettings& settings, std::string& error);

// A tag of the user's, "KEY=VALUE"; nothing with `error` saying why when it is no such text or
// names a tag the recording sets itself.
std::optional<InfluxTag> parseInfluxTag(const std::string& text, std::string& error);

// The token in the file at `path` (its first line, blanks around it dropped); nothing with
// `error` saying why when the file cannot be read or holds none.
std::optional<std::string> readInfluxToken(const std::string& path, std::string& error);

} // namespace recording
