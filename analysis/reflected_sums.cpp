// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/reflected_sums.h"

#include "analysis/analysis_control.h"
#include "analysis/parallel_for.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

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

// Four doubles side by side: AVX2 registers where the processor has them, two SSE2 ones where not.
// Only ever passed between functions inlined into one another, so the warning that such values
// are passed differently with and without AVX concerns no call that is made (-Wno-psabi for this
// file, see CMakeLists.txt: GCC gives it for the whole file, past any pragma).
using Vector = double __attribute__((vector_size(32)));

[[gnu::always_inline]] inline Vector load(const double* p) {
    Vector v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The plan as every block evaluates it. For m >= 2 the form has one shape (see prefixTerms):
// the prefix sums x1 (of X), w1 and w2 (of (t - c) X and (t - c)^2 X) are read in pairs at
// i + q m and i + q m + 1, q = 0 .. 3, with one coefficient for both; X itself at the fixed
// positions i and i + 3m; the diagonals have the lags 0, m and 2m.
struct Layout {
    static constexpr std::size_t kParts = 4;
    static constexpr std::size_t kLags = 3;
    std::int64_t m = 0;
    // X[i] and X[i + 3m] times x1 at i + q m and i + q m + 1.
    std::array<double, kParts> row0{};
    std::array<double, kParts> row3{};
    // s_i p(t - i) at t = i + q m and i + q m + 1, p(v) = p0 + p1 v + p2 v^2.
    std::array<double, kParts> p0{};
    std::array<double, kParts> p1{};
    std::array<double, kParts> p2{};
    // X[i]^2, X[i] X[i + 3m], X[i + 3m]^2.
    std::array<double, 3> pair{};
    // s_i X[i], s_i X[i + 3m], s_i^2.
    std::array<double, 2> slopeFixed{};
    double slopeSquare = 0;
    std::array<Plan::Diagonal, kLags> diagonals;
    std::vector<Plan::AntiDiagonal> antiDiagonals;
};

Layout buildLayout(std::int64_t m) {
    const Plan plan = buildPlan(m);
    Layout layout;
    layout.m = m;
    const auto um = static_cast<std::size_t>(m);
    bool shaped = m >= 2 && plan.diagonals.size() == Layout::kLags;
    // The coefficient at q m and at q m + 1, which must be the same.
    std::array<std::array<double, 2>, Layout::kParts> row0{};
    std::array<std::array<double, 2>, Layout::kParts> row3{};
    std::array<std::array<std::array<double, 2>, Layout::kParts>, 3> slope{};
    const auto part = [&](std::size_t at, std::size_t& q, std::size_t& second) {
        q = at / um;
        second = at % um;
        shaped = shaped && q < Layout::kParts && second < 2;
        q = std::min(q, Layout::kParts - 1);
        second = std::min<std::size_t>(second, 1);
    };
    const auto fixedIndex = [&](std::size_t f) {
        shaped = shaped && (f == 0 || f == 3 * um);
        return f == 0 ? 0 : 1;
    };
    for (const auto& row : plan.rows) {
        std::size_t q = 0;
        std::size_t second = 0;
        part(row.at, q, second);
        (fixedIndex(row.f) == 0 ? row0 : row3)[q][second] += row.coefficient;
    }
    for (const auto& line : plan.slopeRow) {
        std::size_t q = 0;
        std::size_t second = 0;
        part(line.at, q, second);
        for (std::size_t d = 0; d < 3; ++d) {
            slope[d][q][second] += line.p[d];
        }
    }
    for (std::size_t q = 0; q < Layout::kParts; ++q) {
        shaped = shaped && row0[q][0] == row0[q][1] && row3[q][0] == row3[q][1] &&
                 slope[0][q][0] == slope[0][q][1] && slope[1][q][0] == slope[1][q][1] &&
                 slope[2][q][0] == slope[2][q][1];
        layout.row0[q] = row0[q][0];
        layout.row3[q] = row3[q][0];
        layout.p0[q] = slope[0][q][0];
        layout.p1[q] = slope[1][q][0];
        layout.p2[q] = slope[2][q][0];
    }
    for (const auto& pair : plan.fixedPairs) {
        layout.pair[static_cast<std::size_t>(fixedIndex(pair.f) + fixedIndex(pair.g))] +=
            pair.coefficient;
    }
    for (const auto& [f, coefficient] : plan.slopeFixed) {
        layout.slopeFixed[static_cast<std::size_t>(fixedIndex(f))] += coefficient;
    }
    layout.slopeSquare = plan.slopeSquare;
    for (std::size_t l = 0; l < Layout::kLags && l < plan.diagonals.size(); ++l) {
        layout.diagonals[l] = plan.diagonals[l];
        shaped = shaped && plan.diagonals[l].lag == l * um;
    }
    layout.antiDiagonals = plan.antiDiagonals;
    if (!shaped) {
        std::abort(); // the form changed its shape: the evaluation below would not be it
    }
    return layout;
}

// Where the diagonals' double sums are read in a block of k stretches: each piece [lo, hi) of
// lag l reads them at lo, hi, k + lo and k + hi. The same for every block of one k.
struct Reads {
    static constexpr std::size_t kMost = 48;
    std::array<std::size_t, kMost> at{};
    std::size_t count = 0;
    struct Piece {
        std::size_t lag;
        double coefficient;
        std::array<std::size_t, 4> index; // of lo, hi, k + lo, k + hi in at
    };
    std::vector<Piece> pieces;
    // The anti-diagonals, summed over v in stretches [from, to) of the block where, for every
    // line, each clamp of the range of i is either on or off: there the sum over the lines is
    // X[v] times a few stride[v + offset] (forward) and stride[offset - v] (backward), each with
    // its coefficient, the lines' terms at the same place taken together.
    struct Term {
        double coefficient;
        std::ptrdiff_t offset;
    };
    struct Stretch {
        std::size_t from;
        std::size_t to;
        std::vector<Term> forward;
        std::vector<Term> backward;
    };
    std::vector<Stretch> anti;
};

// The anti-diagonal lines of a block of k stretches as Reads::anti. Line (s, lo, hi) with
// coefficient c adds, for v in [lo, k + hi - 1), c X[v] (stride[2 b + s - v] - stride[2 a + s - v])
// with a = max(0, v - hi + 1) and b = min(k, v - lo + 1): a = 0 for v < hi - 1, b = k from
// k + lo - 1 on (see blockSumBody).
std::vector<Reads::Stretch> antiStretches(const Layout& layout, std::int64_t k) {
    std::vector<std::ptrdiff_t> breaks;
    for (const auto& line : layout.antiDiagonals) {
        for (std::ptrdiff_t at : {line.lo, line.hi - 1, k + line.lo - 1, k + line.hi - 1}) {
            breaks.push_back(at);
        }
    }
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    std::vector<Reads::Stretch> stretches;
    for (std::size_t b = 0; b + 1 < breaks.size(); ++b) {
        const std::ptrdiff_t from = breaks[b];
        const std::ptrdiff_t to = breaks[b + 1];
        std::map<std::ptrdiff_t, double> forward;
        std::map<std::ptrdiff_t, double> backward;
        for (const auto& line : layout.antiDiagonals) {
            if (from < line.lo || to > k + line.hi - 1) {
                continue;
            }
            const double c = line.coefficient;
            if (from < k + line.lo - 1) {
                forward[line.s + 2 - 2 * line.lo] += c;
            } else {
                backward[2 * k + line.s] += c;
            }
            if (from < line.hi - 1) {
                backward[line.s] -= c;
            } else {
                forward[line.s + 2 - 2 * line.hi] -= c;
            }
        }
        Reads::Stretch stretch{
            static_cast<std::size_t>(from), static_cast<std::size_t>(to), {}, {}};
        for (const auto& [offset, c] : forward) {
            if (c != 0) {
                stretch.forward.push_back({c, offset});
            }
        }
        for (const auto& [offset, c] : backward) {
            if (c != 0) {
                stretch.backward.push_back({c, offset});
            }
        }
        if (!stretch.forward.empty() || !stretch.backward.empty()) {
            stretches.push_back(std::move(stretch));
        }
    }
    return stretches;
}

Reads readsFor(const Layout& layout, std::int64_t k) {
    Reads reads;
    std::vector<std::size_t> at;
    for (const auto& diagonal : layout.diagonals) {
        for (const auto& piece : diagonal.pieces) {
            for (std::int64_t position : {piece.lo, piece.hi, k + piece.lo, k + piece.hi}) {
                at.push_back(static_cast<std::size_t>(position));
            }
        }
    }
    // And where a long block's prefix sums are taken for the stretches' four positions.
    for (std::int64_t q = 1; q < static_cast<std::int64_t>(Layout::kParts); ++q) {
        at.push_back(static_cast<std::size_t>(q * layout.m));
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    // The form reads no further than a block's prefix sums reach (size + 1, see blockSumBody).
    if (at.size() > Reads::kMost || at.back() > static_cast<std::size_t>(k + 3 * layout.m + 1)) {
        std::abort();
    }
    std::copy(at.begin(), at.end(), reads.at.begin());
    reads.count = at.size();
    const auto index = [&](std::int64_t position) {
        return static_cast<std::size_t>(
            std::lower_bound(at.begin(), at.end(), static_cast<std::size_t>(position)) -
            at.begin());
    };
    for (std::size_t l = 0; l < Layout::kLags; ++l) {
        for (const auto& piece : layout.diagonals[l].pieces) {
            reads.pieces.push_back(
                {l,
                 static_cast<double>(piece.p[0]),
                 {index(piece.lo), index(piece.hi), index(k + piece.lo), index(k + piece.hi)}});
        }
    }
    reads.anti = antiStretches(layout, k);
    return reads;
}

// An array of doubles that grows without filling itself: whoever uses it writes every value it
// then reads. Large ones are asked of the kernel in huge pages where it has them: the largest
// factors' blocks span the run, and touching their memory page by page costs more than the sums.
class Buffer {
public:
    double* reserve(std::size_t size) {
        if (size > capacity_) {
            capacity_ = std::max(size, capacity_ + capacity_ / 2);
            std::size_t bytes = capacity_ * sizeof(double);
            if (bytes >= kHuge) {
                bytes = (bytes + kHuge - 1) / kHuge * kHuge;
                capacity_ = bytes / sizeof(double);
                data_.reset(static_cast<double*>(std::aligned_alloc(kHuge, bytes)));
#if defined(__linux__)
                if (data_) {
                    madvise(data_.get(), bytes, MADV_HUGEPAGE);
                }
#endif
            } else {
                data_.reset(static_cast<double*>(std::aligned_alloc(64, (bytes + 63) / 64 * 64)));
            }
            if (!data_) {
                throw std::bad_alloc();
            }
        }
        return data_.get();
    }

private:
    static constexpr std::size_t kHuge = std::size_t{2} << 20;
    struct Free {
        void operator()(double* p) const { std::free(p); }
    };
    std::unique_ptr<double[], Free> data_;
    std::size_t capacity_ = 0;
};

// One block's arrays.
struct Workspace {
    Buffer x;      // X: the prefix sums of the values, less their parabola
    Buffer y1;     // x1[t] + x1[t + 1], x1 the prefix sums of X
    Buffer v1;     // w1[t] + w1[t + 1], w1 the prefix sums of (t - c) X[t]
    Buffer v2;     // w2[t] + w2[t + 1], w2 the prefix sums of (t - c)^2 X[t]
    Buffer stride; // stride[v + 2] = stride[v] + X[v]
    Buffer values; // the direct sums' values
    Buffer prefix; // the direct sums' prefix sums
};

// The workspaces of one batch, each used by one task at a time and kept from task to task, so
// that their memory is taken once.
class Workspaces {
public:
    Workspace& take() {
        const std::lock_guard lock(mutex_);
        if (free_.empty()) {
            all_.push_back(std::make_unique<Workspace>());
            free_.push_back(all_.back().get());
        }
        Workspace* workspace = free_.back();
        free_.pop_back();
        return *workspace;
    }
    void give(Workspace& workspace) {
        const std::lock_guard lock(mutex_);
        free_.push_back(&workspace);
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<Workspace>> all_;
    std::vector<Workspace*> free_;
};

// Where the block's values come from: the values themselves (MTOTDEV: the phase), or their
// prefix sums (HTOTDEV: the phase is the prefix sum of the frequencies).
struct Source {
    const double* data;
    bool prefix;
};

// a - b - rise t, rounded once (see lineResidual).
[[gnu::always_inline]] inline double residual(double a, double b, double rise, double t) {
    return lineResidual(a, b, rise, t);
}

// A position as a double. Through a 32-bit integer, which the processor converts four at a time
// (64-bit ones only with AVX-512): no block comes near 2^31 values.
[[gnu::always_inline]] inline double position(std::size_t t) {
    return static_cast<double>(static_cast<std::int32_t>(t));
}

// L blocks side by side. L = 1: one block, in plain arrays. L = 4: four consecutive blocks of the
// same number of stretches, lane l of every element the l-th block's, so that the running sums of
// all four advance in one vector instruction.
template <int L> struct Lanes;
template <> struct Lanes<1> { using T = double; };
template <> struct Lanes<4> { using T = Vector; };

// X[t] = z_0 + ... + z_(t-1) of each block's values z, t = 0 .. size - 1, with a parabola in t
// taken out (see blockSumBody), into x, followed by pad zeros. Block l's values start k l values
// after the source's first. scratch: room for L size values.
template <int L>
[[gnu::always_inline]] inline void blockPrefix(Source source, std::size_t k, std::size_t size,
                                               std::size_t pad, typename Lanes<L>::T* __restrict x,
                                               double* __restrict scratch) {
    using T = typename Lanes<L>::T;
    const std::size_t values = size - 1;
    // Each value less the line through its block's ends, rounded once (see residual): what stays
    // is the values' own variation. With the values themselves, r[t + 1] is the residual of z_t.
    double* const residuals = L == 1 ? reinterpret_cast<double*>(x) : scratch;
    for (std::size_t l = 0; l < L; ++l) {
        const double* d = source.data + l * k;
        double* __restrict r = residuals + l * size;
        if (source.prefix) {
            const double rise = (d[values] - d[0]) / static_cast<double>(values);
            for (std::size_t t = 0; t < size; ++t) {
                r[t] = residual(d[t], d[0], rise, position(t));
            }
        } else {
            const double rise =
                values > 1 ? (d[values - 1] - d[0]) / static_cast<double>(values - 1) : 0;
            r[0] = 0;
            for (std::size_t t = 0; t < values; ++t) {
                r[t + 1] = residual(d[t], d[0], rise, position(t));
            }
        }
    }
    // The least-squares parabola, from the orthogonal polynomials 1, u and u^2 - (size^2 - 1) / 12
    // of u = t - (size - 1) / 2 on the block, and with the values the running sums on the way.
    const double n = static_cast<double>(size);
    const double middle = 0.5 * (n - 1);
    const double offset = (n * n - 1) / 12;
    T s0 = T{};
    T s1 = T{};
    T s2 = T{};
    const auto addUp = [&](auto next) __attribute__((always_inline)) {
        T running = T{};
        double u = -middle;
        for (std::size_t t = 0; t < size; ++t) {
            T v = next(t);
            if (!source.prefix) {
                running += v;
                v = running;
            }
            x[t] = v;
            s0 += v;
            s1 += u * v;
            s2 += (u * u - offset) * v;
            u += 1;
        }
    };
    if constexpr (L == 1) {
        if (source.prefix) {
            // Nothing to add up: four positions at a time.
            Vector sums[3] = {};
            std::size_t t = 0;
            for (; t + 4 <= size; t += 4) {
                const Vector u = Vector{0, 1, 2, 3} + (position(t) - middle);
                const Vector v = load(x + t);
                sums[0] += v;
                sums[1] += u * v;
                sums[2] += (u * u - offset) * v;
            }
            for (; t < size; ++t) {
                const double u = position(t) - middle;
                s0 += x[t];
                s1 += u * x[t];
                s2 += (u * u - offset) * x[t];
            }
            s0 += (sums[0][0] + sums[0][1]) + (sums[0][2] + sums[0][3]);
            s1 += (sums[1][0] + sums[1][1]) + (sums[1][2] + sums[1][3]);
            s2 += (sums[2][0] + sums[2][1]) + (sums[2][2] + sums[2][3]);
        } else {
            addUp([&](std::size_t t) __attribute__((always_inline)) { return x[t]; });
        }
    } else {
        addUp([&](std::size_t t) __attribute__((always_inline)) {
            return T{residuals[t], residuals[size + t], residuals[2 * size + t],
                     residuals[3 * size + t]};
        });
    }
    const T c0 = s0 / n;
    const T c1 = s1 / (n * (n * n - 1) / 12);
    const T c2 = size > 2 ? s2 / (n * (n * n - 1) * (n * n - 4) / 180) : T{};
    if constexpr (L == 1) {
        // Converted from integers, the positions let the compiler vectorize.
        for (std::size_t t = 0; t < size; ++t) {
            const double u = position(t) - middle;
            x[t] -= c0 + c1 * u + c2 * (u * u - offset);
        }
    } else {
        double u = -middle;
        for (std::size_t t = 0; t < size; ++t) {
            x[t] -= c0 + c1 * u + c2 * (u * u - offset);
            u += 1;
        }
    }
    std::fill(x + size, x + size + pad, T{});
}

// The sum over v in [from, to) of x[v] times the sum over the terms of c stride[offset + v]
// (forward) or c stride[offset - v] (backward): x read once for all of them, N terms at a time.
template <int N, bool kBackward, typename T>
[[gnu::always_inline]] inline T termsOf(const T* __restrict x, const T* __restrict stride,
                                        std::size_t from, std::size_t to,
                                        const Reads::Term* terms) {
    const auto at = [&](std::size_t j, std::ptrdiff_t v) __attribute__((always_inline)) {
        return kBackward ? stride + (terms[j].offset - v) : stride + (terms[j].offset + v);
    };
    if constexpr (std::is_same_v<T, double>) {
        // Four v at a time; backward, the four loaded stride values taken in reverse.
        Vector sums = {};
        auto v = static_cast<std::ptrdiff_t>(from);
        const auto end = static_cast<std::ptrdiff_t>(to);
        for (; v + 4 <= end; v += 4) {
            Vector g = {};
            for (int j = 0; j < N; ++j) {
                const Vector s = kBackward ? load(at(j, v) - 3) : load(at(j, v));
                g += terms[j].coefficient *
                     (kBackward ? __builtin_shuffle(
                                      s, s, (long __attribute__((vector_size(32)))){3, 2, 1, 0})
                                : s);
            }
            sums += load(x + v) * g;
        }
        double rest = 0;
        for (; v < end; ++v) {
            double g = 0;
            for (int j = 0; j < N; ++j) {
                g += terms[j].coefficient * *at(j, v);
            }
            rest += x[v] * g;
        }
        return ((sums[0] + sums[1]) + (sums[2] + sums[3])) + rest;
    } else {
        // Each term's stride value at v = from, stepping by one (backward: back by one).
        const T* start[N];
        double coefficient[N];
        for (int j = 0; j < N; ++j) {
            start[j] = at(j, static_cast<std::ptrdiff_t>(from));
            coefficient[j] = terms[j].coefficient;
        }
        constexpr std::ptrdiff_t step = kBackward ? -1 : 1;
        const auto term = [&](std::ptrdiff_t d) __attribute__((always_inline)) {
            T g = coefficient[0] * start[0][step * d];
            for (int j = 1; j < N; ++j) {
                g += coefficient[j] * start[j][step * d];
            }
            return x[from + static_cast<std::size_t>(d)] * g;
        };
        T even = T{};
        T odd = T{};
        const auto count = static_cast<std::ptrdiff_t>(to - from);
        std::ptrdiff_t d = 0;
        for (; d + 2 <= count; d += 2) {
            even += term(d);
            odd += term(d + 1);
        }
        if (d < count) {
            even += term(d);
        }
        return even + odd;
    }
}

template <bool kBackward, typename T>
[[gnu::always_inline]] inline T termsOf(const T* __restrict x, const T* __restrict stride,
                                        std::size_t from, std::size_t to,
                                        const std::vector<Reads::Term>& terms) {
    T sum = T{};
    for (std::size_t j = 0; j < terms.size(); j += 4) {
        const Reads::Term* part = terms.data() + j;
        switch (std::min<std::size_t>(4, terms.size() - j)) {
        case 1:
            sum += termsOf<1, kBackward>(x, stride, from, to, part);
            break;
        case 2:
            sum += termsOf<2, kBackward>(x, stride, from, to, part);
            break;
        case 3:
            sum += termsOf<3, kBackward>(x, stride, from, to, part);
            break;
        default:
            sum += termsOf<4, kBackward>(x, stride, from, to, part);
            break;
        }
    }
    return sum;
}

// The sum of d_j(i)^2 over the stretches i = 0 .. k - 1 of the block, or of each of the L blocks.
//
// Why it keeps its digits: every d_j, and the slope, is a combination of the prefix sums X whose
// coefficients add to zero, and adding a parabola a + b t + c t^2 to X (a line to the values,
// which each stretch's detrending takes out) changes no d_j. The form adds up products of X,
// terms as large as X^2, to a result as large as the d_j^2: what it loses is that ratio. Taking
// out only a line through two values, as this code once did, lets X grow like t times the noise
// of one value, while the d_j of white phase as frequencies (HTOTDEV) stay at that noise: the
// terms outgrew the result some (7m)^2 times, and HTOTDEV lost all its digits by m ~ 1e5. So X
// is first taken from the line through the block's ends, each value rounded once at its own size
// (see lineResidual), then from its least-squares parabola. What stays is what no parabola
// explains over the block, at most seven stretch lengths long: for white phase through
// random-walk frequency, with any offset or drift, within a fixed factor of the d_j of one
// stretch, whatever m and the run's length. Against the sums formed stretch by stretch in long
// double or quadruple precision: 1e-13 or better, 1e-11 for a frequency offset a billion times
// the noise; the tests ask 1e-9. (Longer blocks lose more, some (length / m)^5 for random-walk
// frequency: 4m stretches, no more.) The frequencies of HTOTDEV come as their prefix sums, the
// phase, and are never rounded as differences.
template <int L>
[[gnu::always_inline]] inline double blockSumBody(Source source, std::int64_t stretches,
                                                  const Layout& layout, const Reads& reads,
                                                  Workspace& ws) {
    using T = typename Lanes<L>::T;
    const std::int64_t m = layout.m;
    const auto um = static_cast<std::size_t>(m);
    const std::int64_t n = 3 * m;
    const auto k = static_cast<std::size_t>(stretches);
    const auto un = static_cast<std::size_t>(n);
    const std::size_t size = k + un; // X[0 .. size - 1]: the prefix sums of the block's values
    // The diagonals' double sums are read up to size + 1, with products up to 2m ahead.
    const std::size_t end = size + 2;
    const std::size_t pad = end - size + 2 * um + 1;
    const auto array = [](Buffer& buffer, std::size_t count) {
        return reinterpret_cast<T*>(buffer.reserve(count * L));
    };
    T* __restrict x = array(ws.x, size + pad);
    blockPrefix<L>(source, k, size, pad, x, L == 1 ? nullptr : ws.values.reserve(L * size));
    // Four blocks, as small as they are, keep the prefix sums x1, w1, w2 of every position; one
    // block, as long as the run at the largest m, keeps them only where each of the four
    // positions i + q m a stretch reads them at has come to (see below).
    constexpr bool kept = L > 1;
    T* __restrict y1 = kept ? array(ws.y1, end) : nullptr;
    T* __restrict v1 = kept ? array(ws.v1, end) : nullptr;
    T* __restrict v2 = kept ? array(ws.v2, end) : nullptr;
    T* __restrict stride = array(ws.stride, end + 2);
    const auto centre = static_cast<double>(k / 2);
    // One block, its x1, w1 and w2 where the stretches' positions i + q m start: at q m,
    // q = 0 .. 3 (reads.at has them).
    T start[3][Layout::kParts] = {};

    // All the running sums in one pass: those of the pairs of y1, v1, v2 (up to 3m if not kept)
    // and stride, and the double sums of the lagged products, twice[r][l] = the sum over
    // s < reads.at[r] of once_l(s), once_l(s) = the sum over u < s of X[u] X[u + l m]. Positions
    // are counted from c, the middle of the stretches' first positions, in w1 and w2: their terms
    // stay smaller.
    std::array<std::array<T, Layout::kLags>, Reads::kMost> twice;
    T once0 = T{};
    T once1 = T{};
    T once2 = T{};
    T twice0 = T{};
    T twice1 = T{};
    T twice2 = T{};
    T a1 = T{};
    T b1 = T{};
    T b2 = T{};
    double u = -centre;
    stride[0] = stride[1] = T{};
    const auto step = [&](std::size_t t, auto withPrefixSums) __attribute__((always_inline)) {
        const T v = x[t];
        if constexpr (decltype(withPrefixSums)::value) {
            const T a1Next = a1 + v;
            const T b1Next = b1 + u * v;
            const T b2Next = b2 + u * (u * v);
            if constexpr (kept) {
                y1[t] = a1 + a1Next;
                v1[t] = b1 + b1Next;
                v2[t] = b2 + b2Next;
            }
            a1 = a1Next;
            b1 = b1Next;
            b2 = b2Next;
        }
        stride[t + 2] = stride[t] + v;
        twice0 += once0;
        twice1 += once1;
        twice2 += once2;
        once0 += v * v;
        once1 += v * x[t + um];
        once2 += v * x[t + 2 * um];
        u += 1;
    };
    // Past the prefix sums, one block alone: two positions at a time, each running sum taking
    // their two terms at once, so that it waits for one addition where it would for two.
    const auto twoSteps = [&](std::size_t t) __attribute__((always_inline)) {
        const T v0 = x[t];
        const T v1 = x[t + 1];
        stride[t + 2] = stride[t] + v0;
        stride[t + 3] = stride[t + 1] + v1;
        const T p0 = v0 * v0;
        const T p1 = v0 * x[t + um];
        const T p2 = v0 * x[t + 2 * um];
        twice0 += (once0 + once0) + p0;
        twice1 += (once1 + once1) + p1;
        twice2 += (once2 + once2) + p2;
        once0 += p0 + v1 * v1;
        once1 += p1 + v1 * x[t + 1 + um];
        once2 += p2 + v1 * x[t + 1 + 2 * um];
        u += 2;
    };
    const std::size_t prefixEnd = kept ? end : 3 * um;
    std::size_t t = 0;
    for (std::size_t r = 0; r <= reads.count; ++r) {
        const std::size_t stop = r < reads.count ? reads.at[r] : end;
        for (; t < std::min(stop, prefixEnd); ++t) {
            step(t, std::true_type{});
        }
        if constexpr (L == 1) {
            for (; t + 2 <= stop; t += 2) {
                twoSteps(t);
            }
        }
        for (; t < stop; ++t) {
            step(t, std::false_type{});
        }
        if (r < reads.count) {
            twice[r] = {twice0, twice1, twice2};
            if constexpr (!kept) {
                for (std::size_t q = 1; q < Layout::kParts; ++q) {
                    if (reads.at[r] == q * um) {
                        start[0][q] = a1;
                        start[1][q] = b1;
                        start[2][q] = b2;
                    }
                }
            }
        }
    }

    T total = T{};
    for (const auto& piece : reads.pieces) {
        const auto& i = piece.index;
        total += piece.coefficient * ((twice[i[3]][piece.lag] - twice[i[2]][piece.lag]) -
                                      (twice[i[1]][piece.lag] - twice[i[0]][piece.lag]));
    }

    // The anti-diagonals: for each line, X[v] times the sum of X[2i + s - v] over the stretches
    // i whose rising position v - i lies in [lo, hi), as differences of stride (see
    // antiStretches).
    for (const auto& stretch : reads.anti) {
        total += termsOf<false>(x, stride, stretch.from, stretch.to, stretch.forward) +
                 termsOf<true>(x, stride, stretch.from, stretch.to, stretch.backward);
    }

    // Each stretch's own terms.
    const auto firstHalf = static_cast<std::size_t>(n / 2);
    const auto secondHalf = static_cast<std::size_t>((n + 1) / 2);
    // The two halves' means lie (n + 1) / 2 points apart for odd n, n / 2 for even n.
    const double distance =
        n % 2 == 1 ? static_cast<double>(n + 1) / 2 : static_cast<double>(n) / 2;
    const double perSum = 1 / (static_cast<double>(firstHalf) * distance);
    const Layout& l = layout;
    if constexpr (L == 1) {
        // Lambdas taking or giving vectors are inlined always, at any optimisation: compiled on
        // their own, without AVX, they would expect them elsewhere than their AVX2 caller puts
        // them.
        const auto vector =
            [](const std::array<double, Layout::kParts>& a) __attribute__((always_inline)) {
            return Vector{a[0], a[1], a[2], a[3]};
        };
        const Vector p0 = vector(l.p0);
        const Vector p1 = vector(l.p1);
        const Vector p2 = vector(l.p2);
        // The four positions i + q m of stretch i side by side, one lane each: at every stretch
        // the running sums x1, w1, w2 there take one more value, as they would have in the pass
        // above, and the stretch's terms are the lanes' products with its coefficients.
        const Vector row0 = vector(l.row0);
        const Vector row3 = vector(l.row3);
        const auto dm = static_cast<double>(m);
        const Vector offsets = {0, dm, 2 * dm, 3 * dm};
        Vector a1 = {start[0][0], start[0][1], start[0][2], start[0][3]};
        Vector b1 = {start[1][0], start[1][1], start[1][2], start[1][3]};
        Vector b2 = {start[2][0], start[2][1], start[2][2], start[2][3]};
        // The stretch's coefficients do not depend on q: each product of the lanes with them is
        // added up over the stretches first, lane by lane, and taken with them at the end.
        Vector byRow0 = {};
        Vector byRow3 = {};
        Vector byP0 = {};
        Vector byP1 = {};
        Vector byP2 = {};
        Vector byP1w = {};
        Vector byP2w = {};
        Vector byP2w2 = {};
        double fixed = 0;
        for (std::size_t i = 0; i < k; ++i) {
            const double xa = x[i];
            const double xb = x[i + un];
            const Vector v = {xa, x[i + um], x[i + 2 * um], xb};
            const double ui = position(i) - centre;
            const Vector uq = offsets + ui;
            const Vector a1Next = a1 + v;
            const Vector b1Next = b1 + uq * v;
            const Vector b2Next = b2 + uq * (uq * v);
            const Vector y = a1 + a1Next;
            const Vector w = b1 + b1Next;
            const Vector w2 = b2 + b2Next;
            a1 = a1Next;
            b1 = b1Next;
            b2 = b2Next;
            const double slope = perSum * ((xb - x[i + secondHalf]) - (x[i + firstHalf] - xa));
            const double su = slope * ui;
            byRow0 += xa * y;
            byRow3 += xb * y;
            byP0 += slope * y;
            byP1 += su * y;
            byP2 += (su * ui) * y;
            byP1w += slope * w;
            byP2w += su * w;
            byP2w2 += slope * w2;
            fixed += xa * (l.pair[0] * xa + l.pair[1] * xb) + xb * (l.pair[2] * xb) +
                     slope * (l.slopeFixed[0] * xa + l.slopeFixed[1] * xb + l.slopeSquare * slope);
        }
        const Vector sums = row0 * byRow0 + row3 * byRow3 + p0 * byP0 - p1 * byP1 + p2 * byP2 +
                            p1 * byP1w - 2 * (p2 * byP2w) + p2 * byP2w2;
        return total + (((sums[0] + sums[1]) + (sums[2] + sums[3])) + fixed);
    } else {
        // One stretch of each block at a time: with u the same in all blocks, the stretch's
        // polynomials in u are numbers, p(u) = p0 - u p1 + u^2 p2 and p'(u) = p1 - 2 u p2 by q.
        T sums = T{};
        const Vector p0 = {l.p0[0], l.p0[1], l.p0[2], l.p0[3]};
        const Vector p1 = {l.p1[0], l.p1[1], l.p1[2], l.p1[3]};
        const Vector p2 = {l.p2[0], l.p2[1], l.p2[2], l.p2[3]};
        for (std::size_t i = 0; i < k; ++i) {
            const double ui = position(i) - centre;
            const Vector pu = p0 - ui * p1 + (ui * ui) * p2;
            const Vector pw = p1 - (2 * ui) * p2;
            const T xa = x[i];
            const T xb = x[i + un];
            const T slope = perSum * ((xb - x[i + secondHalf]) - (x[i + firstHalf] - xa));
            T r0 = T{};
            T r3 = T{};
            T p = T{};
            for (std::size_t q = 0; q < Layout::kParts; ++q) {
                const std::size_t at = i + q * um;
                r0 += l.row0[q] * y1[at];
                r3 += l.row3[q] * y1[at];
                p += pu[q] * y1[at] + pw[q] * v1[at] + l.p2[q] * v2[at];
            }
            sums +=
                xa * (r0 + l.pair[0] * xa + l.pair[1] * xb) + xb * (r3 + l.pair[2] * xb) +
                slope * (p + l.slopeFixed[0] * xa + l.slopeFixed[1] * xb + l.slopeSquare * slope);
        }
        const T lanes = total + sums;
        return ((lanes[0] + lanes[1]) + lanes[2]) + lanes[3];
    }
}

__attribute__((target("avx2,fma"))) double blockSumWithAvx2(int lanes, Source source,
                                                            std::int64_t stretches,
                                                            const Layout& layout,
                                                            const Reads& reads, Workspace& ws) {
    return lanes == 4 ? blockSumBody<4>(source, stretches, layout, reads, ws)
                      : blockSumBody<1>(source, stretches, layout, reads, ws);
}

double blockSumPlain(int lanes, Source source, std::int64_t stretches, const Layout& layout,
                     const Reads& reads, Workspace& ws) {
    return lanes == 4 ? blockSumBody<4>(source, stretches, layout, reads, ws)
                      : blockSumBody<1>(source, stretches, layout, reads, ws);
}

// The processor's own instructions where it has AVX2: the same arithmetic, in wider steps. Chosen
// at run time, not by the loader: sanitizer builds must start before any choice is made.
bool withAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return avx2;
}

// The sum over the stretches of one block, or of four consecutive blocks of `stretches` each.
double blockSum(int lanes, Source source, std::int64_t stretches, const Layout& layout,
                const Reads& reads, Workspace& ws) {
    return (withAvx2() ? blockSumWithAvx2 : blockSumPlain)(lanes, source, stretches, layout, reads,
                                                           ws);
}

// The direct sums, stretch by stretch, for the smallest m, where the O(m) of each stretch is less
// than the form's fixed cost: for the kLanes stretches starting at r, r + 1, ...: each with its
// half-average slope removed and reflected evenly at both ends to 9m points, the sum of its 6m
// squared second differences of m-point sums, into squares. The stretches are worked on side by
// side, one lane each. prefix: room for (9m + 1) kLanes values.
constexpr std::size_t kLanes = 4;

[[gnu::always_inline]] inline void directSquares(const double* r, std::size_t m, double* prefix,
                                                 double* squares) {
    const std::size_t n = 3 * m;
    const std::size_t firstHalf = n / 2;
    const std::size_t secondHalf = (n + 1) / 2;
    double sum1[kLanes] = {};
    double sum2[kLanes] = {};
    for (std::size_t j = 0; j < firstHalf; ++j) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sum1[lane] += r[j + lane] - r[lane];
        }
    }
    for (std::size_t j = secondHalf; j < n; ++j) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            sum2[lane] += r[j + lane] - r[lane];
        }
    }
    // The two halves' means lie (n + 1) / 2 points apart for odd n, n / 2 for even n.
    const double distance =
        n % 2 == 1 ? 0.5 * static_cast<double>(n - 1) + 1 : 0.5 * static_cast<double>(n);
    double slope[kLanes];
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        slope[lane] = (sum2[lane] - sum1[lane]) / static_cast<double>(firstHalf) / distance;
    }
    double* p = prefix;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        p[lane] = 0;
    }
    // The three parts of the extension: the stretch reversed, as it is, reversed again.
    for (std::size_t part = 0; part < 3; ++part) {
        for (std::size_t t = 0; t < n; ++t) {
            const std::size_t j = part == 1 ? t : n - 1 - t;
            double* previous = p + (part * n + t) * kLanes;
            double* next = previous + kLanes;
            for (std::size_t lane = 0; lane < kLanes; ++lane) {
                next[lane] =
                    previous[lane] + (r[j + lane] - r[lane] - slope[lane] * static_cast<double>(j));
            }
        }
    }
    double sum[kLanes] = {};
    for (std::size_t j = 0; j < 2 * n; ++j) {
        const double* p0 = p + j * kLanes;
        const double* p1 = p + (j + m) * kLanes;
        const double* p2 = p + (j + 2 * m) * kLanes;
        const double* p3 = p + (j + 3 * m) * kLanes;
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            const double d = p3[lane] - 3 * p2[lane] + 3 * p1[lane] - p0[lane];
            sum[lane] += d * d;
        }
    }
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        squares[lane] = sum[lane];
    }
}

// The sum of d_j(i)^2 over `count` stretches of the source, from values `available` of which
// exist (with `source.prefix`, available + 1 prefix sums). The values are first taken from the
// line through the piece's ends, each rounded once (see residual): small numbers for the
// stretches' own sums.
[[gnu::always_inline]] inline double directSumBody(Source source, std::size_t count,
                                                   std::size_t available, std::size_t m,
                                                   Workspace& ws) {
    const std::size_t n = 3 * m;
    const std::size_t values = std::min(available, count + n - 1);
    const std::size_t padded = count + n - 1 + kLanes;
    double* r = ws.values.reserve(padded);
    double* prefix = ws.prefix.reserve((9 * m + 1) * kLanes);
    if (source.prefix) {
        const double* p = source.data;
        const double rise = (p[values] - p[0]) / static_cast<double>(values);
        double previous = 0;
        for (std::size_t t = 0; t < values; ++t) {
            const double next = residual(p[t + 1], p[0], rise, position(t + 1));
            r[t] = next - previous;
            previous = next;
        }
    } else {
        const double* z = source.data;
        const double rise =
            values > 1 ? (z[values - 1] - z[0]) / static_cast<double>(values - 1) : 0;
        for (std::size_t t = 0; t < values; ++t) {
            r[t] = residual(z[t], z[0], rise, position(t));
        }
    }
    // Lanes past the last stretch read zeros; their sums are dropped.
    std::fill(r + values, r + padded, 0.0);
    double total = 0;
    for (std::size_t i = 0; i < count; i += kLanes) {
        double squares[kLanes];
        directSquares(r + i, m, prefix, squares);
        for (std::size_t lane = 0; lane < kLanes && i + lane < count; ++lane) {
            total += squares[lane];
        }
    }
    return total;
}

__attribute__((target("avx2,fma"))) double directSumWithAvx2(Source source, std::size_t count,
                                                             std::size_t available, std::size_t m,
                                                             Workspace& ws) {
    return directSumBody(source, count, available, m, ws);
}

double directSumPlain(Source source, std::size_t count, std::size_t available, std::size_t m,
                      Workspace& ws) {
    return directSumBody(source, count, available, m, ws);
}

double directSum(Source source, std::size_t count, std::size_t available, std::size_t m,
                 Workspace& ws) {
    return (withAvx2() ? directSumWithAvx2 : directSumPlain)(source, count, available, m, ws);
}

// Up to this m the direct sums cost less than the form.
constexpr std::int64_t kLargestDirect = 1;
// Blocks of up to this many values are worked on four at a time.
constexpr std::int64_t kLargestLanes = std::int64_t{1} << 14;

// One factor of a batch: its stretches in blocks of `block` (the last one shorter), the first
// 4 `groups` of them four at a time, the others one by one. The sums of these units are added
// in order: the same result however many threads there are.
struct Factor {
    std::int64_t m = 0;
    std::int64_t stretches = 0;
    std::int64_t block = 0;
    std::size_t groups = 0;
    std::size_t units = 0;
    bool direct = false;
    Layout layout;
    Reads full;
    Reads last;
    std::vector<double> sums;

    // Unit u's first stretch and number of them, and whether it is four blocks.
    std::int64_t start(std::size_t u) const {
        return u < groups ? static_cast<std::int64_t>(u) * 4 * block
                          : static_cast<std::int64_t>(4 * groups + (u - groups)) * block;
    }
    std::int64_t count(std::size_t u) const {
        return u < groups ? block : std::min(block, stretches - start(u));
    }
};

Factor factorFor(std::int64_t m, std::int64_t points) {
    Factor factor;
    factor.m = m;
    if (m < 1 || points < 3 * m) {
        return factor;
    }
    factor.stretches = points - 3 * m + 1;
    factor.direct = m <= kLargestDirect;
    std::size_t blocks = 0;
    if (factor.direct) {
        // Enough stretches to make the line through a block's ends worth taking out.
        factor.block = std::min<std::int64_t>(factor.stretches, 8192);
        blocks = static_cast<std::size_t>((factor.stretches + factor.block - 1) / factor.block);
    } else {
        // About 4m stretches, so that a block's values stay near their parabola (see
        // blockSumBody), the blocks as even as they come; all but the last, which may be
        // shorter, four at a time where they are small enough.
        blocks = static_cast<std::size_t>((factor.stretches + 4 * m - 1) / (4 * m));
        factor.block = (factor.stretches + static_cast<std::int64_t>(blocks) - 1) /
                       static_cast<std::int64_t>(blocks);
        if (factor.block + 3 * m <= kLargestLanes) {
            factor.groups = (blocks - 1) / 4;
        }
        factor.layout = buildLayout(m);
        factor.full = readsFor(factor.layout, factor.block);
        factor.last = readsFor(
            factor.layout, factor.stretches - static_cast<std::int64_t>(blocks - 1) * factor.block);
    }
    factor.units = blocks - 3 * factor.groups;
    factor.sums.assign(factor.units, 0.0);
    return factor;
}

// One task of a batch: consecutive units of one factor, some ten thousand stretches at least.
struct Task {
    std::size_t factor;
    std::size_t first;
    std::size_t count;
    std::uint64_t cost;
};

std::vector<SquareSum> reflectedSums(Source source, std::int64_t points,
                                     std::span<const std::int64_t> factors, WorkMeter* meter) {
    std::vector<Factor> batch;
    std::vector<Task> tasks;
    std::uint64_t work = 0;
    for (std::size_t f = 0; f < factors.size(); ++f) {
        batch.push_back(factorFor(factors[f], points));
        const Factor& factor = batch.back();
        if (factor.units == 0) {
            continue;
        }
        // Units of one kind in a task: the groups, then the single blocks.
        const auto perTask =
            static_cast<std::size_t>(std::max<std::int64_t>(1, 16384 / factor.block));
        const auto perBlock = static_cast<std::uint64_t>(factor.block + 3 * factor.m);
        for (const auto& [from, to, blocks] :
             {std::tuple{std::size_t{0}, factor.groups, std::uint64_t{4}},
              std::tuple{factor.groups, factor.units, std::uint64_t{1}}}) {
            const std::size_t step = blocks == 4 ? std::max<std::size_t>(1, perTask / 4) : perTask;
            for (std::size_t first = from; first < to; first += step) {
                const std::size_t count = std::min(step, to - first);
                tasks.push_back({f, first, count, perBlock * blocks * count});
                work += perBlock * blocks * count;
            }
        }
    }
    // The largest tasks first, so that no thread is left with one at the end; the workspaces
    // grow to their largest at once.
    std::stable_sort(tasks.begin(), tasks.end(),
                     [](const Task& a, const Task& b) { return a.cost > b.cost; });
    Workspaces workspaces;
    parallelFor(tasks.size(), static_cast<std::size_t>(work) * 20, [&](std::size_t t) {
        if (meter != nullptr && meter->cancelled()) {
            return;
        }
        const Task& task = tasks[t];
        Factor& factor = batch[task.factor];
        Workspace& workspace = workspaces.take();
        std::int64_t done = 0;
        for (std::size_t u = task.first; u < task.first + task.count; ++u) {
            const std::int64_t start = factor.start(u);
            const std::int64_t count = factor.count(u);
            const Source part{source.data + start, source.prefix};
            if (factor.direct) {
                factor.sums[u] = directSum(part, static_cast<std::size_t>(count),
                                           static_cast<std::size_t>(points - start),
                                           static_cast<std::size_t>(factor.m), workspace);
            } else {
                const bool four = u < factor.groups;
                const bool last = start + count == factor.stretches;
                factor.sums[u] = blockSum(four ? 4 : 1, part, count, factor.layout,
                                          last ? factor.last : factor.full, workspace);
            }
            done += u < factor.groups ? 4 * count : count;
        }
        workspaces.give(workspace);
        if (meter != nullptr) {
            meter->add(static_cast<std::uint64_t>(done));
        }
    });
    std::vector<SquareSum> results(factors.size());
    for (std::size_t f = 0; f < batch.size(); ++f) {
        if (batch[f].stretches == 0) {
            continue;
        }
        Real total = 0;
        for (double sum : batch[f].sums) {
            total += sum;
        }
        results[f].sum = static_cast<double>(total / (6 * static_cast<Real>(batch[f].m)));
        results[f].terms = batch[f].stretches;
    }
    return results;
}

} // namespace

std::vector<SquareSum> reflectedSquareSums(std::span<const double> z,
                                           std::span<const std::int64_t> factors,
                                           WorkMeter* meter) {
    return reflectedSums({z.data(), false}, static_cast<std::int64_t>(z.size()), factors, meter);
}

std::vector<SquareSum> reflectedPrefixSquareSums(std::span<const double> prefix,
                                                 std::span<const std::int64_t> factors,
                                                 WorkMeter* meter) {
    if (prefix.empty()) {
        return std::vector<SquareSum>(factors.size());
    }
    return reflectedSums({prefix.data(), true}, static_cast<std::int64_t>(prefix.size()) - 1,
                         factors, meter);
}

SquareSum reflectedSquareSum(std::span<const double> z, std::int64_t m, WorkMeter* meter) {
    return reflectedSquareSums(z, std::span(&m, 1), meter)[0];
}

SquareSum reflectedPrefixSquareSum(std::span<const double> prefix, std::int64_t m,
                                   WorkMeter* meter) {
    return reflectedPrefixSquareSums(prefix, std::span(&m, 1), meter)[0];
}

std::uint64_t reflectedSquareWork(std::int64_t points, std::int64_t m) {
    return points >= 3 * m ? static_cast<std::uint64_t>(points - 3 * m + 1) : 0;
}

} // namespace analysis
