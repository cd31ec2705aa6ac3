// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/phase_noise.h"

namespace tools {

namespace {
constexpr double kMinOffsetS = 50e-9;
constexpr double kMaxOffsetS = 500e-9;
constexpr double kMaxInitialFrequency = 1e-10;
constexpr double kWhitePhaseS = 60e-12;  // per event
constexpr double kFrequencyStep = 1e-12; // per event
constexpr double kEventSpacingS = 1.0;
} // namespace

PhaseNoise::PhaseNoise(std::uint64_t seed)
    : random_(seed),
      offsetS_(std::uniform_real_distribution<double>(kMinOffsetS, kMaxOffsetS)(random_)),
      frequency_(std::uniform_real_distribution<double>(-kMaxInitialFrequency,
                                                        kMaxInitialFrequency)(random_)) {}

double PhaseNoise::next() {
    frequency_ += kFrequencyStep * normal_(random_);
    walkedS_ += frequency_ * kEventSpacingS;
    return offsetS_ + walkedS_ + kWhitePhaseS * normal_(random_);
}

} // namespace tools
