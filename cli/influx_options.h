// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/influx_target.h"

#include <optional>
#include <string>

namespace cli {

// "talvek-cli record --influx URL [--database NAME | --bucket NAME --org NAME --token-file F]
// [--tag KEY=VALUE]...": where the readings go besides the output.
struct InfluxRequest {
    recording::InfluxSettings settings; // its token is read from tokenFile at the start
    std::string tokenFile;
    bool wanted() const { return !settings.url.empty(); }
};

// Applies one of the options above; false for any other option. `error` gets the error text
// when its value was bad.
bool applyInfluxOption(const std::string& name, const std::string& value, InfluxRequest& request,
                       std::string& error);

// What is missing or too much among the options given; empty when they go together.
std::string influxOptionsError(const InfluxRequest& request);

// The database the request names, its token read and its login and database or bucket checked by
// a write without points; nothing, with `error` saying why, when it cannot be written to. One
// that does not answer now is taken: the readings wait in the journal until it does.
std::optional<recording::InfluxTarget> prepareInflux(const InfluxRequest& request,
                                                     std::string& error);

// The options' part of "talvek-cli record --help".
std::string influxUsageText();

} // namespace cli
