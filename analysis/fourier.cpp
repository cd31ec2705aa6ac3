// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/fourier.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace analysis {

namespace {

// One transform on interleaved real and imaginary parts: the bit-reversed order, then the
// butterflies of each stage, whose twiddles lie one after the other in stage.
template <bool Inverse>
void butterflies(double* data, std::size_t n, const std::complex<double>* stages) {
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j |= bit;
        if (i < j) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
    }
    const double sign = Inverse ? -1.0 : 1.0;
    for (std::size_t length = 2; length <= n; length *= 2) {
        const std::size_t half = length / 2;
        const auto* w = reinterpret_cast<const double*>(stages + (half - 1));
        for (std::size_t start = 0; start < n; start += length) {
            double* a = data + 2 * start;
            double* b = a + 2 * half;
            for (std::size_t j = 0; j < half; ++j) {
                const double wr = w[2 * j];
                const double wi = sign * w[2 * j + 1];
                const double tr = b[2 * j] * wr - b[2 * j + 1] * wi;
                const double ti = b[2 * j + 1] * wr + b[2 * j] * wi;
                b[2 * j] = a[2 * j] - tr;
                b[2 * j + 1] = a[2 * j + 1] - ti;
                a[2 * j] += tr;
                a[2 * j + 1] += ti;
            }
        }
    }
}

} // namespace

Fourier::Fourier(std::size_t largest) : largest_(powerOfTwoAtLeast(largest)) {
    // The stage of length L uses exp(-2 pi i j / L), j < L/2, from index L/2 - 1 on.
    twiddles_.resize(largest_ > 1 ? largest_ - 1 : 0);
    for (std::size_t half = 1; 2 * half <= largest_; half *= 2) {
        for (std::size_t j = 0; j < half; ++j) {
            const double angle =
                -std::numbers::pi * static_cast<double>(j) / static_cast<double>(half);
            twiddles_[half - 1 + j] = {std::cos(angle), std::sin(angle)};
        }
    }
}

void Fourier::transform(std::span<std::complex<double>> data, bool inverse) const {
    // std::complex<double> is laid out as two doubles, real part first.
    auto* values = reinterpret_cast<double*>(data.data());
    if (inverse) {
        butterflies<true>(values, data.size(), twiddles_.data());
    } else {
        butterflies<false>(values, data.size(), twiddles_.data());
    }
}

std::size_t powerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 1;
    while (p < n) {
        p *= 2;
    }
    return p;
}

void circularCorrelation(const Fourier& fourier, std::span<const double> u,
                         std::span<const double> v, std::span<double> out) {
    const std::size_t n = out.size();
    std::vector<std::complex<double>> z(n);
    for (std::size_t j = 0; j < u.size(); ++j) {
        z[j].real(u[j]);
    }
    for (std::size_t j = 0; j < v.size(); ++j) {
        z[j].imag(v[j]);
    }
    fourier.transform(z, false);
    // With Z the transform of u + i v: U_k = (Z_k + conj Z_-k) / 2, V_k = (Z_k - conj Z_-k) / 2i,
    // and the correlation's transform is conj(U_k) V_k, whose inverse is real.
    std::vector<std::complex<double>> product(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::complex<double> a = z[k];
        const std::complex<double> b = std::conj(z[(n - k) % n]);
        // conj(U_k) V_k with U_k = (a + b)/2, V_k = -i (a - b)/2.
        const double ur = 0.5 * (a.real() + b.real());
        const double ui = 0.5 * (a.imag() + b.imag());
        const double vr = 0.5 * (a.imag() - b.imag());
        const double vi = -0.5 * (a.real() - b.real());
        product[k] = {ur * vr + ui * vi, ur * vi - ui * vr};
    }
    fourier.transform(product, true);
    const double scale = 1.0 / static_cast<double>(n);
    for (std::size_t s = 0; s < n; ++s) {
        out[s] = product[s].real() * scale;
    }
}

} // namespace analysis
