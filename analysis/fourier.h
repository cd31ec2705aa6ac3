// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace analysis {

// Correlations of real sequences by the discrete Fourier transform, for every power-of-two length
// up to the one it is made for. Each twiddle is the cosine and sine of its own angle (or an exact
// symmetry of one), not the end of a recurrence, so the error of a correlation stays a few
// roundings of its largest values. Made once, only read: threads may share one.
class Fourier {
public:
    explicit Fourier(std::size_t largest);

    // out[s] = sum_j u[j] v[(j + s) mod n] for s = 0 .. n-1, u and v taken as zero beyond their
    // ends (each at most n long, n = out.size(), a power of two no larger than the largest). One
    // transform each way: u and v travel together as the two halves of one complex sequence. The
    // error of each out[s] is some roundings of |u| |v| (their Euclidean norms). work is scratch.
    void correlate(std::span<const double> u, std::span<const double> v, std::span<double> out,
                   std::vector<std::complex<double>>& work) const;

private:
    // n complex numbers as interleaved real and imaginary parts.
    void forward(double* x, std::size_t n) const;
    void inverse(double* x, std::size_t n) const;
    const double* stage(std::size_t length) const; // the twiddles of a stage

    std::size_t largest_;
    std::vector<std::complex<double>> twiddles_; // per stage, see the constructor
};

// What one correlation of length n costs, in the steps the work meters count (6 n log2 n).
std::uint64_t fourierWork(std::size_t n);

// The smallest power of two that is at least n (1 for 0).
std::size_t powerOfTwoAtLeast(std::size_t n);

} // namespace analysis
