// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/fourier.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace analysis {

Fourier::Fourier(std::size_t largest) : largest_(powerOfTwoAtLeast(largest)) {
    // The stage of length L uses exp(-2 pi i j / L), j < L/2, from index L/2 - 1 on. The largest
    // stage's from cos and sin of the first eighth of the circle and their symmetries, the others
    // taken from it.
    twiddles_.resize(largest_ > 1 ? largest_ - 1 : 0);
    const std::size_t half = largest_ / 2;
    if (half == 0) {
        return;
    }
    std::complex<double>* top = &twiddles_[half - 1];
    const std::size_t quarter = half / 2;
    const std::size_t eighth = half / 4;
    for (std::size_t j = 0; j <= eighth; ++j) {
        const double angle =
            -2 * std::numbers::pi * static_cast<double>(j) / static_cast<double>(largest_);
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        top[j] = {c, s};
        if (quarter > 0) {
            top[quarter - j] = {-s, -c}; // a quarter turn less the angle
            if (j > 0 && quarter + j < half) {
                top[quarter + j] = {s, -c}; // a quarter turn and the angle
                top[half - j] = {-c, s};    // half a turn less the angle
            }
        }
    }
    for (std::size_t length = half; length >= 2; length /= 2) {
        const std::size_t stride = half / (length / 2);
        for (std::size_t j = 0; j < length / 2; ++j) {
            twiddles_[length / 2 - 1 + j] = top[j * stride];
        }
    }
}

namespace {

// Transforms up to this many points fit the caches: they run stage after stage; longer ones run
// their first (forward) or last (inverse) stage over the whole and the halves depth first, so
// that only a few stages stream through memory.
constexpr std::size_t kInCache = 4096;

// One stage of length `length` over x's n points (interleaved real and imaginary parts).
void forwardStage(double* x, std::size_t n, std::size_t length, const double* w) {
    const std::size_t half = length / 2;
    for (std::size_t start = 0; start < n; start += length) {
        double* a = x + 2 * start;
        double* b = a + 2 * half;
        for (std::size_t j = 0; j < half; ++j) {
            const double dr = a[2 * j] - b[2 * j];
            const double di = a[2 * j + 1] - b[2 * j + 1];
            a[2 * j] += b[2 * j];
            a[2 * j + 1] += b[2 * j + 1];
            b[2 * j] = dr * w[2 * j] - di * w[2 * j + 1];
            b[2 * j + 1] = di * w[2 * j] + dr * w[2 * j + 1];
        }
    }
}

void inverseStage(double* x, std::size_t n, std::size_t length, const double* w) {
    const std::size_t half = length / 2;
    for (std::size_t start = 0; start < n; start += length) {
        double* a = x + 2 * start;
        double* b = a + 2 * half;
        for (std::size_t j = 0; j < half; ++j) {
            const double tr = b[2 * j] * w[2 * j] + b[2 * j + 1] * w[2 * j + 1];
            const double ti = b[2 * j + 1] * w[2 * j] - b[2 * j] * w[2 * j + 1];
            b[2 * j] = a[2 * j] - tr;
            b[2 * j + 1] = a[2 * j + 1] - ti;
            a[2 * j] += tr;
            a[2 * j + 1] += ti;
        }
    }
}

} // namespace

const double* Fourier::stage(std::size_t length) const {
    return reinterpret_cast<const double*>(&twiddles_[length / 2 - 1]);
}

// Decimation in frequency: natural order in, bit-reversed order out.
void Fourier::forward(double* x, std::size_t n) const {
    if (n > kInCache) {
        forwardStage(x, n, n, stage(n));
        forward(x, n / 2);
        forward(x + n, n / 2);
        return;
    }
    for (std::size_t length = n; length >= 2; length /= 2) {
        forwardStage(x, n, length, stage(length));
    }
}

// Decimation in time with the conjugate twiddles: bit-reversed order in, natural order out.
void Fourier::inverse(double* x, std::size_t n) const {
    if (n > kInCache) {
        inverse(x, n / 2);
        inverse(x + n, n / 2);
        inverseStage(x, n, n, stage(n));
        return;
    }
    for (std::size_t length = 2; length <= n; length *= 2) {
        inverseStage(x, n, length, stage(length));
    }
}

void Fourier::correlate(std::span<const double> u, std::span<const double> v, std::span<double> out,
                        std::vector<std::complex<double>>& work) const {
    const std::size_t n = out.size();
    work.resize(n);
    for (std::size_t j = 0; j < n; ++j) {
        work[j] = {j < u.size() ? u[j] : 0.0, j < v.size() ? v[j] : 0.0};
    }
    forward(reinterpret_cast<double*>(work.data()), n); // real, imaginary, real, ...
    // With Z the transform of u + i v: U_k = (Z_k + conj Z_-k) / 2, V_k = -i (Z_k - conj Z_-k) / 2,
    // and the correlation's transform is conj(U_k) V_k, whose inverse is real. In bit-reversed
    // order frequency -k lies at the mirror of k's place within its block [2^b, 2^(b+1)).
    const auto product = [](std::complex<double> a, std::complex<double> c) {
        const std::complex<double> b = std::conj(c);
        const double ur = 0.5 * (a.real() + b.real());
        const double ui = 0.5 * (a.imag() + b.imag());
        const double vr = 0.5 * (a.imag() - b.imag());
        const double vi = -0.5 * (a.real() - b.real());
        return std::complex<double>(ur * vr + ui * vi, ur * vi - ui * vr);
    };
    work[0] = product(work[0], work[0]);
    for (std::size_t block = 1; block < n; block *= 2) {
        for (std::size_t p = block, q = 2 * block - 1; p <= q; ++p, --q) {
            const std::complex<double> zp = work[p];
            const std::complex<double> zq = work[q];
            work[p] = product(zp, zq);
            work[q] = product(zq, zp);
        }
    }
    inverse(reinterpret_cast<double*>(work.data()), n);
    const double scale = 1.0 / static_cast<double>(n);
    for (std::size_t s = 0; s < n; ++s) {
        out[s] = work[s].real() * scale;
    }
}

std::uint64_t fourierWork(std::size_t n) {
    return 6 * n * static_cast<std::uint64_t>(std::bit_width(n));
}

std::size_t powerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

} // namespace analysis
