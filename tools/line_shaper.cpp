// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/line_shaper.h"

#include <algorithm>
#include <vector>

namespace tools {

namespace {
constexpr std::int64_t kMinSplitPauseUs = 20000;
constexpr std::int64_t kMaxSplitPauseUs = 80000;
} // namespace

LineShaper::LineShaper(const Options& options, std::mt19937_64& random)
    : options_(options), random_(random) {}

std::string LineShaper::garbage() {
    std::uniform_int_distribution<int> length(1, 12);
    std::uniform_int_distribution<int> kind(0, 2);
    std::string bytes;
    for (int n = length(random_); n > 0; --n) {
        int code = 0;
        switch (kind(random_)) {
        case 0: // control characters, but never a line end by accident
            do {
                code = std::uniform_int_distribution<int>(0, 31)(random_);
            } while (code == 10 || code == 13);
            break;
        case 1:
            code = std::uniform_int_distribution<int>(33, 126)(random_);
            break;
        default:
            code = std::uniform_int_distribution<int>(128, 255)(random_);
            break;
        }
        bytes += static_cast<char>(code);
    }
    if (std::bernoulli_distribution(0.5)(random_)) {
        bytes += "\r\n";
    }
    return bytes;
}

void LineShaper::send(PacedWriter& writer, const std::string& text, PieceKind kind) {
    if (options_.garbageRate > 0 && std::bernoulli_distribution(options_.garbageRate)(random_)) {
        std::string noise = garbage();
        writer.enqueue(noise, 0, PieceGarbage, noise);
    }
    const std::string line = options_.noDelimiter ? text : text + "\r\n";
    std::vector<std::size_t> cuts;
    if (options_.split && line.size() >= 3) {
        std::uniform_int_distribution<std::size_t> at(1, line.size() - 1);
        const int count = std::uniform_int_distribution<int>(1, 2)(random_);
        for (int i = 0; i < count; ++i) {
            cuts.push_back(at(random_));
        }
        std::sort(cuts.begin(), cuts.end());
        cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    }
    std::uniform_int_distribution<std::int64_t> pause(kMinSplitPauseUs, kMaxSplitPauseUs);
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        writer.enqueue(line.substr(from, cut - from), from == 0 ? 0 : pause(random_));
        from = cut;
    }
    writer.enqueue(line.substr(from), from == 0 ? 0 : pause(random_), kind, text);
}

} // namespace tools
