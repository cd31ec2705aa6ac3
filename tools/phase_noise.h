// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace tools {

// The phase (time error) of a 1 PPS input against a time-interval counter's time base, event
// by event: a fixed offset, the phase a random-walk frequency piles up, and white phase noise.
class PhaseNoise {
public:
    explicit PhaseNoise(std::uint64_t seed);

    // The phase of the next event in seconds; events are one second apart on the counter's scale.
    double next();

private:
    std::mt19937_64 random_;
    std::normal_distribution<double> normal_{0.0, 1.0};
    double offsetS_;
    double frequency_;   // fractional frequency of the input, walking a step per event
    double walkedS_ = 0; // the phase the frequency has piled up so far
};

} // namespace tools
