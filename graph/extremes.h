// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace graph {

// Running lower and upper ends of a set of values. Values that are not finite (NaN, infinities)
// are left out: one bad reading must not turn a whole axis range into NaN or infinity.
struct Extremes {
    bool any = false;
    double lower = 0.0;
    double upper = 0.0;

    void include(double v);
    void include(const Extremes& other);
    // The extremes of every value multiplied by factor: multiplication by a constant is
    // monotonic, so the scaled ends of the set are the scaled ends of the unscaled set.
    Extremes scaled(double factor) const;
};

} // namespace graph
