// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace analysis {

// Power-law noise type S_y ~ f^alpha found by the lag-1 autocorrelation method (W. J. Riley and
// C. A. Greenhall, "Power law noise identification using the lag 1 autocorrelation", 2004).
struct NoiseEstimate {
    int alpha = 0;            // the integer noise type
    double alphaEstimate = 0; // before rounding: -2 (rho + differences)
    int differences = 0;      // how often the averages were differenced
    double rho = 0;           // r1 / (1 + r1) of the final series
};

// Fewer averages than this say too little about the noise; identification is refused.
inline constexpr std::int64_t kMinNoiseIdValues = 30;

// Most differences the method takes: 2 for the Allan family, 3 for the Hadamard deviation.
inline constexpr int kMaxDifferences = 3;

// The method on a series of averages z_0 .. z_(count-1) of fractional frequency: remove the
// least-squares line, take the lag-1 autocorrelation r1 and rho = r1 / (1 + r1), difference the
// series while rho >= 0.25 and differences are left; alpha = -round(2 rho) - 2 d, rounded half
// to even.
//
// The averages are handed over twice, in the same order and in pieces of any length: all to
// firstPass, then all to secondPass. Every differenced series is followed along the way, so each
// pass is a single sweep and the averages need not be stored. The autocorrelations are formed
// from sums centred on the means of the first pass.
class NoiseIdentifier {
public:
    explicit NoiseIdentifier(std::int64_t count);

    void firstPass(std::span<const double> averages);
    void secondPass(std::span<const double> averages);

    // The answer when at most maxDifferences (1 .. kMaxDifferences) differences are allowed;
    // empty for fewer than kMinNoiseIdValues averages, or averages without variation.
    std::optional<NoiseEstimate> estimate(int maxDifferences) const;

private:
    static constexpr int kLevels = kMaxDifferences + 1; // the series and its differences

    // The first kLevels values, while not every difference exists yet; the passes' loops take
    // the others with the state in local variables.
    void firstPassStart(double z);
    void secondPassStart(double z);
    void finishFirstPass();
    // Feeds the index-th value z to the chain of differences; visit(d, u) gets each difference
    // u of order d >= 1 that exists so far.
    template <typename Visit> void differences(std::int64_t index, double z, Visit visit);

    std::int64_t count_;
    std::int64_t firstIndex_ = 0;
    std::int64_t secondIndex_ = 0;
    std::array<double, kLevels> last_{}; // latest value of each level, for the next difference
    // First pass: sums for the line, and the sums of the differenced series, which become
    // their means at its end.
    double reference_ = 0;
    double sumOfOffsets_ = 0;
    double sumOfTimesOffsets_ = 0;
    std::array<double, kLevels> levelMeans_{};
    // Second pass, per level: sum of squares and of lag-1 products about the mean, and the
    // previous centred value. Level 0 holds the residuals of the line, whose mean is zero
    // but for rounding; that remainder is taken out from their plain sum.
    std::array<double, kLevels> squares_{};
    std::array<double, kLevels> lagged_{};
    std::array<double, kLevels> previous_{};
    double sumOfResiduals_ = 0;
    double firstResidual_ = 0;
    double mean_ = 0;
    double slope_ = 0;
};

// The method for fractional frequencies averaged over non-overlapping blocks of m values (a
// rest shorter than m is dropped).
std::optional<NoiseEstimate> identifyNoise(std::span<const double> fractional, std::int64_t m,
                                           int maxDifferences);

} // namespace analysis
