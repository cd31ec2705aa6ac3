// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/reflected_sums.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace analysis {

namespace {

// Coefficients are built exactly in the wider type; the sums themselves run in double, in blocks
// small enough against m that the prefix sums keep the digits that cancel.
using Real = long double;
// c0 + c1 v + c2 v^2.
using Poly = std::array<Real, 3>;

// e X[i + c + sign j]: X the prefix sums of the values, i the stretch's first value, j the
// position of a second difference in the extended stretch.
struct Term {
    Real e;
    std::int64_t c;
    int sign;
};

// Coefficients over ranges of one position, kept as the changes at the ranges' ends.
class Piecewise {
public:
    struct Piece {
        std::int64_t lo;
        std::int64_t hi;
        Poly p;
    };

    void add(std::int64_t lo, std::int64_t hi, const Poly& p) {
        if (lo >= hi) {
            return;
        }
        Poly& start = changes_[lo];
        Poly& end = changes_[hi];
        for (std::size_t k = 0; k < 3; ++k) {
            start[k] += p[k];
            end[k] -= p[k];
        }
    }

    std::vector<Piece> pieces() const {
        std::vector<Piece> result;
        Poly running{};
        for (auto it = changes_.begin(); it != changes_.end(); ++it) {
            for (std::size_t k = 0; k < 3; ++k) {
                running[k] += it->second[k];
            }
            const auto next = std::next(it);
            if (next == changes_.end() || running == Poly{}) {
                continue;
            }
            if (!result.empty() && result.back().hi == it->first && result.back().p == running) {
                result.back().hi = next->first;
            } else {
                result.push_back({it->first, next->first, running});
            }
        }
        return result;
    }

private:
    std::map<std::int64_t, Poly> changes_;
};

// The sum over the stretches i and their second differences j of d_j(i)^2, where
//   d_j(i) = sum of the moving terms e X[i + c + sign j] + sum of fixed terms e X[i + f]
//            - s_i tau_j,
// s_i the stretch's slope and tau_j the second difference of a stretch 0, 1, 2, ..., as sums of
// products along lines of positions.
struct Form {
    // X[i + u] X[i + u + L] by lag L, over the lower position u.
    std::map<std::int64_t, Piecewise> diagonals;
    // X[i + v] X[i + S - v] by S, over the position v of the rising term.
    std::map<std::int64_t, Piecewise> antiDiagonals;
    // X[i + f] X[i + v] by fixed position f, over v.
    std::map<std::int64_t, Piecewise> rows;
    std::map<std::pair<std::int64_t, std::int64_t>, Real> fixedPairs;
    // s_i X[i + v], over v.
    Piecewise slopeRow;
    std::map<std::int64_t, Real> slopeFixed;
    Real slopeSquare = 0;
};

// The terms of P[position] behind d_j for j in [q m, (q + 1) m), P the prefix sums of the
// detrended stretch w (P[t] = w_0 + ... + w_(t-1)). The extension of w is w reversed, w, w
// reversed; the m-sum starting at k there, by where it lies, is
//   k in [0, 2m]: P[3m - k] - P[2m - k]          k in [2m, 3m]: P[3m - k] + P[k - 2m]
//   k in [3m, 5m]: P[k - 2m] - P[k - 3m]         k in [5m, 6m]: 2 P[3m] - P[k - 3m] - P[8m - k]
//   k in [6m, 8m]: P[9m - k] - P[8m - k]
// and d_j takes the sums at j, j + m, j + 2m with weights 1, -2, 1.
std::vector<Term> prefixTerms(int q, std::int64_t m) {
    std::vector<Term> terms;
    const Real weights[3] = {1, -2, 1};
    for (int part = 0; part < 3; ++part) {
        const Real w = weights[part];
        const std::int64_t shift = part * m;
        // e P[sign k + c0] with k = j + shift.
        const auto add = [&](Real e, int sign, std::int64_t c0) {
            terms.push_back({w * e, sign * shift + c0, sign});
        };
        switch (q + part) {
        case 0:
        case 1:
            add(1, -1, 3 * m);
            add(-1, -1, 2 * m);
            break;
        case 2:
            add(1, -1, 3 * m);
            add(1, 1, -2 * m);
            break;
        case 3:
        case 4:
            add(1, 1, -2 * m);
            add(-1, 1, -3 * m);
            break;
        case 5:
            add(2, 0, 3 * m);
            add(-1, 1, -3 * m);
            add(-1, -1, 8 * m);
            break;
        default:
            add(1, -1, 9 * m);
            add(-1, -1, 8 * m);
            break;
        }
    }
    return terms;
}

// The positions c + sign j of a moving term for j in [j0, j1), as [lo, hi).
std::pair<std::int64_t, std::int64_t> positions(const Term& t, std::int64_t j0, std::int64_t j1) {
    return t.sign > 0 ? std::pair{t.c + j0, t.c + j1} : std::pair{t.c - j1 + 1, t.c - j0 + 1};
}

Poly constant(Real value) {
    return {value, 0, 0};
}

Form buildForm(std::int64_t m) {
    Form form;
    for (int q = 0; q < 6; ++q) {
        const std::int64_t j0 = q * m;
        const std::int64_t j1 = j0 + m;
        std::vector<Term> moving;
        std::map<std::int64_t, Real> fixed;
        // tau_j = sum of e T(c + sign j), T(t) = t (t - 1) / 2 the prefix sums of 0, 1, 2, ...
        Poly tau{};
        // P[t] = X[i + t] - X[i] - s_i T(t).
        for (const Term& t : prefixTerms(q, m)) {
            if (t.sign == 0) {
                fixed[t.c] += t.e;
            } else {
                moving.push_back(t);
            }
            fixed[0] -= t.e;
            const auto c = static_cast<Real>(t.c);
            const auto s = static_cast<Real>(t.sign);
            tau[0] += t.e * (c * c - c) / 2;
            tau[1] += t.e * s * (2 * c - 1) / 2;
            tau[2] += t.e * s * s / 2;
        }
        std::erase_if(fixed, [](const auto& entry) { return entry.second == 0; });
        for (std::size_t a = 0; a < moving.size(); ++a) {
            for (std::size_t b = a; b < moving.size(); ++b) {
                const Term& ta = moving[a];
                const Term& tb = moving[b];
                const Real coefficient = ta.e * tb.e * (a == b ? 1 : 2);
                if (ta.sign == tb.sign) {
                    const Term& lower = ta.c <= tb.c ? ta : tb;
                    const auto [lo, hi] = positions(lower, j0, j1);
                    form.diagonals[std::abs(ta.c - tb.c)].add(lo, hi, constant(coefficient));
                } else {
                    const Term& rising = ta.sign > 0 ? ta : tb;
                    const Term& falling = ta.sign > 0 ? tb : ta;
                    const auto [lo, hi] = positions(rising, j0, j1);
                    form.antiDiagonals[rising.c + falling.c].add(lo, hi, constant(coefficient));
                }
            }
        }
        for (const auto& [f, e] : fixed) {
            for (const Term& t : moving) {
                const auto [lo, hi] = positions(t, j0, j1);
                form.rows[f].add(lo, hi, constant(2 * e * t.e));
            }
            for (const auto& [g, eg] : fixed) {
                if (g >= f) {
                    form.fixedPairs[{f, g}] += e * eg * (f == g ? 1 : 2) * static_cast<Real>(m);
                }
            }
        }
        // -2 s_i tau_j e X[i + v] at v = c + sign j, j = sign (v - c): tau as a polynomial in v.
        for (const Term& t : moving) {
            const auto c = static_cast<Real>(t.c);
            const auto s = static_cast<Real>(t.sign);
            const Poly inV{tau[0] - tau[1] * s * c + tau[2] * c * c, tau[1] * s - 2 * tau[2] * c,
                           tau[2]};
            const auto [lo, hi] = positions(t, j0, j1);
            form.slopeRow.add(lo, hi, {-2 * t.e * inV[0], -2 * t.e * inV[1], -2 * t.e * inV[2]});
        }
        Real tauSum = 0;
        Real tauSquares = 0;
        for (std::int64_t j = j0; j < j1; ++j) {
            const auto jr = static_cast<Real>(j);
            const Real value = tau[0] + jr * (tau[1] + jr * tau[2]);
            tauSum += value;
            tauSquares += value * value;
        }
        for (const auto& [f, e] : fixed) {
            form.slopeFixed[f] -= 2 * e * tauSum;
        }
        form.slopeSquare += tauSquares;
    }
    return form;
}

// The form with its coefficients in double, at the points where they change.
struct Plan {
    struct Diagonal {
        std::size_t lag;
        // Sum of coefficient X[i + u] X[i + u + lag] over u in [lo, hi).
        std::vector<Piecewise::Piece> pieces;
    };
    struct AntiDiagonal {
        std::int64_t s;
        std::int64_t lo;
        std::int64_t hi;
        double coefficient;
    };
    // coefficient X[i + f] times the prefix of X at i + at.
    struct Break {
        std::size_t f;
        std::size_t at;
        double coefficient;
    };
    struct Pair {
        std::size_t f;
        std::size_t g;
        double coefficient;
    };
    // s_i times p(t - i) times the prefix of t^k X_t at t = i + at.
    struct SlopeBreak {
        std::size_t at;
        std::array<double, 3> p;
    };
    std::vector<Diagonal> diagonals;
    std::vector<AntiDiagonal> antiDiagonals;
    std::vector<Break> rows;
    std::vector<Pair> fixedPairs;
    std::vector<SlopeBreak> slopeRow;
    std::vector<std::pair<std::size_t, double>> slopeFixed;
    double slopeSquare = 0;
};

// A piecewise sum of coefficient (W[hi] - W[lo]) over prefix sums W, as coefficients of W at
// the ends.
std::map<std::int64_t, Poly> ends(const Piecewise& line) {
    std::map<std::int64_t, Poly> at;
    for (const auto& piece : line.pieces()) {
        for (std::size_t k = 0; k < 3; ++k) {
            at[piece.hi][k] += piece.p[k];
            at[piece.lo][k] -= piece.p[k];
        }
    }
    std::erase_if(at, [](const auto& entry) { return entry.second == Poly{}; });
    return at;
}

Plan buildPlan(std::int64_t m) {
    const Form form = buildForm(m);
    Plan plan;
    for (const auto& [lag, line] : form.diagonals) {
        plan.diagonals.push_back({static_cast<std::size_t>(lag), line.pieces()});
    }
    for (const auto& [s, line] : form.antiDiagonals) {
        for (const auto& piece : line.pieces()) {
            plan.antiDiagonals.push_back({s, piece.lo, piece.hi, static_cast<double>(piece.p[0])});
        }
    }
    for (const auto& [f, line] : form.rows) {
        for (const auto& [at, p] : ends(line)) {
            plan.rows.push_back({static_cast<std::size_t>(f), static_cast<std::size_t>(at),
                                 static_cast<double>(p[0])});
        }
    }
    for (const auto& [fg, coefficient] : form.fixedPairs) {
        plan.fixedPairs.push_back({static_cast<std::size_t>(fg.first),
                                   static_cast<std::size_t>(fg.second),
                                   static_cast<double>(coefficient)});
    }
    for (const auto& [at, p] : ends(form.slopeRow)) {
        plan.slopeRow.push_back(
            {static_cast<std::size_t>(at),
             {static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2])}});
    }
    for (const auto& [f, coefficient] : form.slopeFixed) {
        plan.slopeFixed.emplace_back(static_cast<std::size_t>(f), static_cast<double>(coefficient));
    }
    plan.slopeSquare = static_cast<double>(form.slopeSquare);
    return plan;
}

// The sum of a[t] b[t], four sums side by side: one would wait for each addition.
[[gnu::always_inline]] inline double dot(const double* a, const double* b, std::size_t count) {
    double sum[4] = {0, 0, 0, 0};
    std::size_t t = 0;
    for (; t + 4 <= count; t += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            sum[lane] += a[t + lane] * b[t + lane];
        }
    }
    for (; t < count; ++t) {
        sum[0] += a[t] * b[t];
    }
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

// One block's arrays, kept by each thread from block to block.
struct Workspace {
    std::vector<double> x;      // prefix sums of the values
    std::vector<double> x1;     // prefix sums of x
    std::vector<double> w1;     // prefix sums of t x[t]
    std::vector<double> w2;     // prefix sums of t^2 x[t]
    std::vector<double> stride; // stride[v + 2] = stride[v] + x[v]
    std::vector<double> slope;  // s_i, s_i i, s_i i^2
    std::vector<double> slopeI;
    std::vector<double> slopeII;
};

// The sum of d_j(i)^2 over the stretches i = 0 .. stretches - 1 of z. The values are taken from
// a straight line through the block's ends first: no d_j changes, and the prefix sums stay at the
// size of the values' own variation.
[[gnu::always_inline]] inline double blockSumBody(const double* z, std::int64_t stretches,
                                                  std::int64_t m, const Plan& plan, Workspace& ws) {
    const std::int64_t n = 3 * m;
    const auto k = static_cast<std::size_t>(stretches);
    const auto values = static_cast<std::size_t>(stretches + n - 1);
    const std::size_t size = values + 1;
    const Real first = z[0];
    const Real rise = values > 1 ? (z[values - 1] - first) / static_cast<Real>(values - 1) : 0;
    ws.x.resize(size);
    ws.x1.resize(size + 1);
    ws.w1.resize(size + 1);
    ws.w2.resize(size + 1);
    ws.stride.resize(size + 2);
    double* x = ws.x.data();
    Real running = 0;
    Real sumOfX = 0;
    x[0] = 0;
    for (std::size_t t = 0; t < values; ++t) {
        running += (static_cast<Real>(z[t]) - first) - rise * static_cast<Real>(t);
        x[t + 1] = static_cast<double>(running);
        sumOfX += running;
    }
    // Nor does a constant added to the prefix sums change any d_j; without their mean, their own
    // prefix sums stay small.
    const auto mean = static_cast<double>(sumOfX / static_cast<Real>(size));
    for (std::size_t t = 0; t < size; ++t) {
        x[t] -= mean;
    }
    ws.x1[0] = ws.w1[0] = ws.w2[0] = 0;
    ws.stride[0] = ws.stride[1] = 0;
    for (std::size_t t = 0; t < size; ++t) {
        const auto td = static_cast<double>(t);
        ws.x1[t + 1] = ws.x1[t] + x[t];
        ws.w1[t + 1] = ws.w1[t] + td * x[t];
        ws.w2[t + 1] = ws.w2[t] + td * td * x[t];
        ws.stride[t + 2] = ws.stride[t] + x[t];
    }
    const auto firstHalf = static_cast<std::size_t>(n / 2);
    const auto secondHalf = static_cast<std::size_t>((n + 1) / 2);
    // The two halves' means lie (n + 1) / 2 points apart for odd n, n / 2 for even n.
    const double distance =
        n % 2 == 1 ? static_cast<double>(n + 1) / 2 : static_cast<double>(n) / 2;
    const double perSum = 1 / (static_cast<double>(firstHalf) * distance);
    const auto un = static_cast<std::size_t>(n);
    ws.slope.resize(k);
    ws.slopeI.resize(k);
    ws.slopeII.resize(k);
    for (std::size_t i = 0; i < k; ++i) {
        const double s = perSum * ((x[i + un] - x[i + secondHalf]) - (x[i + firstHalf] - x[i]));
        const auto id = static_cast<double>(i);
        ws.slope[i] = s;
        ws.slopeI[i] = s * id;
        ws.slopeII[i] = s * id * id;
    }

    double total = 0;
    for (const auto& diagonal : plan.diagonals) {
        // The double prefix sums of x[t] x[t + lag], read where the pieces need them.
        std::vector<std::size_t> needed;
        for (const auto& piece : diagonal.pieces) {
            for (std::int64_t at :
                 {piece.lo, piece.hi, stretches + piece.lo, stretches + piece.hi}) {
                needed.push_back(static_cast<std::size_t>(at));
            }
        }
        std::sort(needed.begin(), needed.end());
        needed.erase(std::unique(needed.begin(), needed.end()), needed.end());
        std::vector<double> at(needed.size());
        const std::size_t lag = diagonal.lag;
        double once = 0;
        double twice = 0;
        std::size_t next = 0;
        for (std::size_t t = 0; next < needed.size(); ++t) {
            if (needed[next] == t) {
                at[next++] = twice;
            }
            twice += once;
            if (t + lag < size) {
                once += x[t] * x[t + lag];
            }
        }
        const auto value = [&](std::int64_t index) {
            return at[static_cast<std::size_t>(
                std::lower_bound(needed.begin(), needed.end(), static_cast<std::size_t>(index)) -
                needed.begin())];
        };
        for (const auto& piece : diagonal.pieces) {
            total += static_cast<double>(piece.p[0]) *
                     ((value(stretches + piece.hi) - value(stretches + piece.lo)) -
                      (value(piece.hi) - value(piece.lo)));
        }
    }
    const double* stride = ws.stride.data();
    for (const auto& line : plan.antiDiagonals) {
        // x[v] times the sum of x[2i + s - v] over the stretches i whose rising position v - i
        // lies in [lo, hi); away from the block's ends, every i from v - hi + 1 to v - lo.
        const auto clamped = [&](std::int64_t from, std::int64_t to) {
            double sum = 0;
            for (std::int64_t v = from; v < to; ++v) {
                const std::int64_t lo = std::max<std::int64_t>(0, v - line.hi + 1);
                const std::int64_t hi = std::min<std::int64_t>(stretches, v - line.lo + 1);
                if (hi > lo) {
                    sum += x[v] * (stride[2 * hi + line.s - v] - stride[2 * lo + line.s - v]);
                }
            }
            return sum;
        };
        const std::int64_t from = line.lo;
        const std::int64_t to = stretches + line.hi - 1;
        const std::int64_t middleFrom = line.hi - 1;
        const std::int64_t middleTo = stretches + line.lo;
        double sum = 0;
        if (middleTo > middleFrom) {
            const auto count = static_cast<std::size_t>(middleTo - middleFrom);
            sum = clamped(from, middleFrom) + clamped(middleTo, to) +
                  dot(x + middleFrom, stride + middleFrom + line.s - 2 * line.lo + 2, count) -
                  dot(x + middleFrom, stride + middleFrom + line.s - 2 * line.hi + 2, count);
        } else {
            sum = clamped(from, to);
        }
        total += line.coefficient * sum;
    }
    for (const auto& row : plan.rows) {
        total += row.coefficient * dot(x + row.f, ws.x1.data() + row.at, k);
    }
    for (const auto& pair : plan.fixedPairs) {
        total += pair.coefficient * dot(x + pair.f, x + pair.g, k);
    }
    // s_i p(t - i) = s_i ((p0 - p1 i + p2 i^2) + (p1 - 2 p2 i) t + p2 t^2).
    const double* s = ws.slope.data();
    const double* si = ws.slopeI.data();
    const double* sii = ws.slopeII.data();
    for (const auto& line : plan.slopeRow) {
        const double* a0 = ws.x1.data() + line.at;
        const double* a1 = ws.w1.data() + line.at;
        const double* a2 = ws.w2.data() + line.at;
        const auto& p = line.p;
        total += p[0] * dot(s, a0, k) - p[1] * dot(si, a0, k) + p[2] * dot(sii, a0, k) +
                 p[1] * dot(s, a1, k) - 2 * p[2] * dot(si, a1, k) + p[2] * dot(s, a2, k);
    }
    for (const auto& [f, coefficient] : plan.slopeFixed) {
        total += coefficient * dot(s, x + f, k);
    }
    return total + plan.slopeSquare * dot(s, s, k);
}

__attribute__((target("avx2"))) double blockSumWithAvx2(const double* z, std::int64_t stretches,
                                                        std::int64_t m, const Plan& plan,
                                                        Workspace& ws) {
    return blockSumBody(z, stretches, m, plan, ws);
}

double blockSumPlain(const double* z, std::int64_t stretches, std::int64_t m, const Plan& plan,
                     Workspace& ws) {
    return blockSumBody(z, stretches, m, plan, ws);
}

// The processor's own instructions where it has AVX2: the same arithmetic, in wider steps. Chosen
// at run time, not by the loader: sanitizer builds must start before any choice is made.
double blockSum(const double* z, std::int64_t stretches, std::int64_t m, const Plan& plan,
                Workspace& ws) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return (avx2 ? blockSumWithAvx2 : blockSumPlain)(z, stretches, m, plan, ws);
}

// Stretches per block: a few times m, so that the values of a block stay near their line and
// its prefix sums near the size of what they are differences of.
std::int64_t blockStretches(std::int64_t m) {
    return std::max<std::int64_t>(4 * m, 8);
}

} // namespace

SquareSum reflectedSquareSum(std::span<const double> z, std::int64_t m, WorkMeter* meter) {
    SquareSum result;
    const auto points = static_cast<std::int64_t>(z.size());
    if (m < 1 || points < 3 * m) {
        return result;
    }
    const Plan plan = buildPlan(m);
    const std::int64_t stretches = points - 3 * m + 1;
    const std::int64_t block = blockStretches(m);
    const auto blocks = static_cast<std::size_t>((stretches + block - 1) / block);
    // The blocks' sums added in order: the same result however many threads there are.
    std::vector<double> sums(blocks, 0);
    parallelFor(blocks, static_cast<std::size_t>(points) * 100, [&](std::size_t b) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const std::int64_t start = static_cast<std::int64_t>(b) * block;
        const std::int64_t count = std::min(block, stretches - start);
        thread_local Workspace workspace;
        sums[b] = blockSum(z.data() + start, count, m, plan, workspace);
        if (meter != nullptr) {
            meter->add(reflectedSquareWork(count + 3 * m - 1, m));
        }
    });
    Real total = 0;
    for (double sum : sums) {
        total += sum;
    }
    result.sum = static_cast<double>(total / (6 * static_cast<Real>(m)));
    result.terms = stretches;
    return result;
}

std::uint64_t reflectedSquareWork(std::int64_t points, std::int64_t m) {
    return points >= 3 * m ? static_cast<std::uint64_t>(points - 3 * m + 1) : 0;
}

} // namespace analysis
