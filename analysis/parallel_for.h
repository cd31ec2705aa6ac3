// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>

namespace analysis {

// Runs task(0) .. task(count - 1), spread over the processor's cores when work (an estimate of
// the elementary steps in all of them) is large enough to pay for starting threads. Tasks are
// handed out in index order, so the largest should come first.
void parallelFor(std::size_t count, std::size_t work, const std::function<void(std::size_t)>& task);

} // namespace analysis
