// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/stall_meter.h"

#include <algorithm>

namespace talvek::test {

StallMeter::StallMeter() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        // Counted from the first turn of the event loop on.
        if (clock_.isValid()) {
            gaps_.push_back(clock_.restart());
        } else {
            clock_.start();
        }
    });
    timer_.start(5);
}

qint64 StallMeter::percentile(double share) const {
    if (gaps_.empty()) {
        return 0;
    }
    std::vector<qint64> sorted = gaps_;
    std::sort(sorted.begin(), sorted.end());
    return sorted[static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1))];
}

} // namespace talvek::test
