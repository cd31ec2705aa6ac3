// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/tau_grid.h"

#include <algorithm>

namespace analysis {

std::int64_t largestAveragingFactor(std::int64_t values) {
    return std::max<std::int64_t>(1, values / 4);
}

bool isOnGrid(TauSpacing spacing, std::int64_t m) {
    return m >= 1 && nextOnGrid(spacing, m - 1) == m;
}

std::int64_t nextOnGrid(TauSpacing spacing, std::int64_t m) {
    if (spacing == TauSpacing::Octave) {
        std::int64_t power = 1;
        while (power <= m) {
            power *= 2;
        }
        return power;
    }
    for (std::int64_t decade = 1;; decade *= 10) {
        for (std::int64_t digit : {1, 2, 5}) {
            if (digit * decade > m) {
                return digit * decade;
            }
        }
    }
}

std::vector<std::int64_t> averagingFactors(TauSpacing spacing, std::int64_t largest) {
    std::vector<std::int64_t> factors;
    for (std::int64_t m = nextOnGrid(spacing, 0); m <= largest; m = nextOnGrid(spacing, m)) {
        factors.push_back(m);
    }
    return factors;
}

std::vector<std::int64_t> chosenFactors(TauSpacing spacing, std::span<const std::int64_t> given,
                                        std::int64_t largest) {
    if (given.empty()) {
        return averagingFactors(spacing, largest);
    }
    std::vector<std::int64_t> factors;
    for (std::int64_t m : given) {
        if (m >= 1 && m <= largest) {
            factors.push_back(m);
        }
    }
    std::sort(factors.begin(), factors.end());
    factors.erase(std::unique(factors.begin(), factors.end()), factors.end());
    return factors;
}

bool isChosen(TauSpacing spacing, std::span<const std::int64_t> given, std::int64_t m) {
    return given.empty() ? isOnGrid(spacing, m)
                         : std::find(given.begin(), given.end(), m) != given.end();
}

} // namespace analysis
