// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "counter/reading.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace recording {

// A tag of every point of a recording: port, instrument, identity, and the user's own.
struct InfluxTag {
    std::string key;
    std::string value;
    bool operator==(const InfluxTag&) const = default;
};

// The points of one recording in InfluxDB's line protocol, measurement "talvek": readings with
// the fields kind="reading" and value and the tag quantity, status replies with kind="status"
// and text, gaps with kind="gap" and seconds; every point carries the recording's tags. The time
// stamp is the arrival in UTC nanoseconds: the connect attempt's UTC time plus the milliseconds
// since it. A point is known by its time stamp and tags, so sending it again overwrites it; two
// readings or replies that arrived in the same millisecond (one read of the line) are therefore
// kept apart by a nanosecond each, in the order of the journal. Gaps are stamped half a
// millisecond after their start, where no reading or reply of the same tags can be.
class InfluxPoints {
public:
    InfluxPoints(const std::vector<InfluxTag>& tags, std::int64_t utcStartNs);

    void addReading(std::string& out, double timeMs, double value, counter::Quantity quantity);
    void addStatus(std::string& out, double timeMs, std::string_view telegram);
    void addGap(std::string& out, double timeMs, double seconds);

private:
    std::int64_t stampOf(double timeMs) const;

    std::string series_;           // measurement and tags of replies and gaps
    std::string readingSeries_[3]; // the same with the quantity tag, by counter::Quantity
    std::int64_t utcStartNs_;
    std::int64_t lastStamp_; // of the readings and replies
    std::int64_t lastGapStamp_;
};

// A text as line protocol takes it in a tag key or value: commas, equal signs and blanks escaped,
// control and 8-bit bytes written as \xNN (a line may hold no line break).
std::string influxTagText(std::string_view text);

} // namespace recording
