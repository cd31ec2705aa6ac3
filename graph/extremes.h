#pragma once

// Running lower and upper ends of a set of values. Values that are not finite (NaN, infinities)
// are left out: one bad reading must not turn a whole axis range into NaN or infinity.
struct TExtremes {
    bool Any = false;
    double Lower = 0.0;
    double Upper = 0.0;

    void Include(double v);
    void Include(const TExtremes& other);
    // The extremes of every value multiplied by Factor: multiplication by a constant is
    // monotonic, so the scaled ends of the set are the scaled ends of the unscaled set.
    TExtremes Scaled(double Factor) const;
};
