// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace analysis {

namespace {

// Steps below which one thread finishes sooner than starting another would let it.
constexpr std::size_t kWorkPerThread = 1'000'000;

} // namespace

void parallelFor(std::size_t count, std::size_t work,
                 const std::function<void(std::size_t)>& task) {
    const std::size_t threads = std::min<std::size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), count, work / kWorkPerThread + 1});
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            task(i);
        }
    };
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < threads; ++t) {
        helpers.emplace_back(worker);
    }
    worker();
}

} // namespace analysis
