// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/e2e/reading_match.h"

#include <cmath>
#include <optional>
#include <sstream>

namespace {

// The log shows 15 significant digits; the counter's record holds the exact double.
bool sameValue(double a, double b) {
    return std::fabs(a - b) <= 1e-13 * std::fabs(b);
}

std::string describe(const std::vector<SentTelegram>& sent, std::size_t index,
                     const std::vector<LoggedReading>& logged, std::size_t loggedIndex,
                     const char* what) {
    std::ostringstream text;
    text.precision(17);
    text << what << ": sent telegram " << index << " (" << sent[index].text << " = "
         << sent[index].value.value_or(NAN) << ") at logged line " << loggedIndex;
    if (index > 0) {
        text << ", sent after " << sent[index - 1].kind << " \"" << sent[index - 1].text << "\"";
    }
    if (loggedIndex < logged.size()) {
        text << ", logged there " << logged[loggedIndex].value;
    }
    return text.str();
}

} // namespace

bool wellFramed(const std::vector<SentTelegram>& sent, std::size_t index, bool delimited) {
    if (!delimited) {
        return false;
    }
    if (index == 0) {
        return true;
    }
    const SentTelegram& before = sent[index - 1];
    const std::string lineEnd = "\\x0d\\x0a";
    return before.kind != "garbage" ||
           (before.text.size() >= lineEnd.size() &&
            before.text.compare(before.text.size() - lineEnd.size(), lineEnd.size(), lineEnd) == 0);
}

std::string compareReadings(const std::vector<SentTelegram>& sent,
                            const std::vector<LoggedReading>& logged, bool delimited,
                            std::size_t mayBeLostFrom) {
    std::vector<std::size_t> readings; // indices into `sent`
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (sent[i].kind == "reading") {
            readings.push_back(i);
        }
    }
    // Runs of equal values are matched as a whole: a glued reading that happens to repeat its
    // neighbour's value must not take the place of the neighbour.
    std::size_t next = 0; // the next logged reading to account for
    for (std::size_t r = 0; r < readings.size();) {
        const double value = *sent[readings[r]].value;
        std::size_t end = r;
        std::size_t required = 0;
        std::optional<std::size_t> firstRequired;
        while (end < readings.size() && sameValue(*sent[readings[end]].value, value)) {
            if (wellFramed(sent, readings[end], delimited) && readings[end] < mayBeLostFrom) {
                ++required;
                firstRequired = firstRequired.value_or(readings[end]);
            }
            ++end;
        }
        std::size_t run = 0;
        while (next + run < logged.size() && run < end - r &&
               sameValue(logged[next + run].value, value)) {
            ++run;
        }
        if (run < required) {
            return describe(sent, *firstRequired, logged, next + run, "missing");
        }
        next += run;
        r = end;
    }
    if (next != logged.size()) {
        std::ostringstream text;
        text.precision(17);
        text << "logged line " << next << " (" << logged[next].value
             << ") is no reading the counter sent, or out of order, or doubled";
        return text.str();
    }
    return {};
}
