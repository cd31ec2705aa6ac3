// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace tools {

// A 10 MHz oscillator as a counter sees it: a fixed calibration offset, a slow temperature swing,
// a random walk, and the counter's own white measurement noise, which shrinks with a longer
// gate time and with averaging.
class Oscillator {
public:
    static constexpr double kNominalHz = 10e6;

    explicit Oscillator(std::uint64_t seed);

    // The frequency counted over the gate that ends `seconds` after the start. Calls come in
    // time order; the random walk advances by the time since the previous call.
    double measure(double seconds, double gateSeconds, bool averaging);

private:
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    double offsetHz_;
    double walkHz_ = 0;
    double lastSeconds_ = 0;
};

} // namespace tools
