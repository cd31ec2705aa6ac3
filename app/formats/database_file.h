// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/influx_target.h"

#include <string>

namespace app {

// The time-series database the window also records into, as the user set it: its URL, the
// database (InfluxDB 1.x) or bucket and organisation (2.x) and the file of the token, and the
// tags of the user's. No URL: none.
struct DatabaseChoice {
    recording::InfluxSettings settings; // the token is read from tokenFile at each use
    std::string tokenFile;
    bool operator==(const DatabaseChoice&) const = default;
};

// Kept in a file of its own, "database.conf" beside the settings file (which keeps its nine
// lines): a line "name=value" for url, database, bucket, org and token-file, one "tag=KEY=VALUE"
// for each tag.
std::string databaseFileName(const std::string& settingsFile);

// The choice the file holds; none when there is no file. Lines it does not know are left out.
DatabaseChoice readDatabaseFile(const std::string& fileName);
// Written through a temporary file renamed over the old one. Returns "" or "File access denied".
std::string writeDatabaseFile(const std::string& fileName, const DatabaseChoice& choice);

} // namespace app
