// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <vector>

namespace talvek::test {

// The gaps between turns of the event loop, seen by a timer due every 5 ms: the longest one is
// the longest time the window could not react.
class StallMeter {
public:
    StallMeter();
    qint64 longestMs() const { return percentile(1); }
    // The gap that `share` (0..1) of all gaps do not exceed.
    qint64 percentile(double share) const;

private:
    QTimer timer_;
    QElapsedTimer clock_;
    std::vector<qint64> gaps_;
};

} // namespace talvek::test
