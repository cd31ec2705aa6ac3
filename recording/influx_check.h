// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "recording/http_client.h"
#include "recording/influx_target.h"

#include <chrono>
#include <string>

namespace recording {

// What a write's answer means.
enum class InfluxVerdict {
    Taken,       // 2xx
    Refused,     // 4xx: a login refused, a database or bucket that is not there, ...
    Unreachable, // no answer, or 5xx: the database is down, busy or starting
};

struct InfluxAnswer {
    InfluxVerdict verdict = InfluxVerdict::Unreachable;
    std::string why; // "404 database not found: \"x\"", "Connection refused"; empty when taken
};

InfluxAnswer judgeInfluxAnswer(const HttpResponse& response);

// Sends the target a write without points, which checks the login and the database or bucket
// and stores nothing.
InfluxAnswer checkInflux(const InfluxTarget& target, std::chrono::milliseconds timeout);

} // namespace recording
