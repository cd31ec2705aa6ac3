// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/oscillator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tools {

namespace {
constexpr double kSwingHz = 0.25;         // temperature swing amplitude
constexpr double kSwingPeriodS = 600;     // one swing every ten minutes
constexpr double kWalkHzPerRootS = 0.004; // random walk
constexpr double kNoiseHzAt1s = 0.03;     // counter resolution noise at a 1 s gate
constexpr int kAveragedGates = 10;
} // namespace

Oscillator::Oscillator(std::uint64_t seed)
    : random_(seed), offsetHz_(std::uniform_real_distribution<double>(0.2, 0.8)(random_)) {}

double Oscillator::measure(double seconds, double gateSeconds, bool averaging) {
    const double step = std::max(0.0, seconds - lastSeconds_);
    lastSeconds_ = std::max(lastSeconds_, seconds);
    walkHz_ += kWalkHzPerRootS * std::sqrt(step) * normal_(random_);
    const double swing = kSwingHz * std::sin(2 * std::numbers::pi * seconds / kSwingPeriodS);
    double noise = kNoiseHzAt1s / gateSeconds * normal_(random_);
    if (averaging) {
        noise /= std::sqrt(static_cast<double>(kAveragedGates));
    }
    return kNominalHz + offsetHz_ + swing + walkHz_ + noise;
}

} // namespace tools
