// SPDX-License-Identifier: GPL-3.0-or-later
#include "recording/line_protocol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace recording {
namespace {

constexpr char kMeasurement[] = "talvek";
constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr std::int64_t kGapOffsetNs = kNsPerMs / 2;

void appendByteCode(std::string& out, unsigned char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool plainByte(unsigned char byte) {
    return byte >= 0x20 && byte < 0x7F;
}

// A string field: quotes and backslashes escaped, bytes that are no printable ASCII as \xNN.
void appendFieldText(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!plainByte(byte)) {
            appendByteCode(out, byte);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// The shortest text that reads back as the same double; a float field either way.
void appendNumber(std::string& out, double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, end);
}

void appendStamp(std::string& out, std::int64_t stamp) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, stamp).ptr;
    out += ' ';
    out.append(text, end);
    out += '\n';
}

std::string seriesOf(std::vector<InfluxTag> tags) {
    // InfluxDB takes the tags in any order but sorts them first: sorted, they cost it less.
    std::sort(tags.begin(), tags.end(),
              [](const InfluxTag& a, const InfluxTag& b) { return a.key < b.key; });
    std::string series = kMeasurement;
    for (const InfluxTag& tag : tags) {
        series += ',' + influxTagText(tag.key) + '=' + influxTagText(tag.value);
    }
    return series;
}

const char* quantityName(counter::Quantity quantity) {
    switch (quantity) {
    case counter::Quantity::Frequency:
        return "frequency";
    case counter::Quantity::Period:
        return "period";
    case counter::Quantity::Phase:
        return "phase";
    }
    return "frequency";
}

} // namespace

std::string influxTagText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!plainByte(byte)) {
            appendByteCode(out, byte);
            continue;
        }
        if (c == ',' || c == '=' || c == ' ') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

InfluxPoints::InfluxPoints(const std::vector<InfluxTag>& tags, std::int64_t utcStartNs)
    : series_(seriesOf(tags)), utcStartNs_(utcStartNs),
      lastStamp_(std::numeric_limits<std::int64_t>::min()),
      lastGapStamp_(std::numeric_limits<std::int64_t>::min()) {
    for (const auto quantity :
         {counter::Quantity::Frequency, counter::Quantity::Period, counter::Quantity::Phase}) {
        std::vector<InfluxTag> withQuantity = tags;
        withQuantity.push_back({"quantity", quantityName(quantity)});
        readingSeries_[static_cast<int>(quantity)] = seriesOf(std::move(withQuantity));
    }
}

std::int64_t InfluxPoints::stampOf(double timeMs) const {
    const double wholeMs = std::floor(timeMs);
    return utcStartNs_ + static_cast<std::int64_t>(wholeMs) * kNsPerMs +
           std::llround((timeMs - wholeMs) * static_cast<double>(kNsPerMs));
}

void InfluxPoints::addReading(std::string& out, double timeMs, double value,
                              counter::Quantity quantity) {
    lastStamp_ = std::max(stampOf(timeMs), lastStamp_ + 1);
    out += readingSeries_[static_cast<int>(quantity)];
    out += " kind=\"reading\",value=";
    appendNumber(out, value);
    appendStamp(out, lastStamp_);
}

void InfluxPoints::addStatus(std::string& out, double timeMs, std::string_view telegram) {
    lastStamp_ = std::max(stampOf(timeMs), lastStamp_ + 1);
    out += series_;
    out += " kind=\"status\",text=";
    appendFieldText(out, telegram);
    appendStamp(out, lastStamp_);
}

void InfluxPoints::addGap(std::string& out, double timeMs, double seconds) {
    lastGapStamp_ = std::max(stampOf(timeMs) + kGapOffsetNs, lastGapStamp_ + 1);
    out += series_;
    out += " kind=\"gap\",seconds=";
    appendNumber(out, seconds);
    appendStamp(out, lastGapStamp_);
}

} // namespace recording
