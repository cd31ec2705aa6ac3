// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/raster.h"

#include <algorithm>
#include <array>

namespace plot {

WidePenStroke::WidePenStroke(const PixelWriter& writer, PenMode mode, int width, std::int64_t left,
                             std::int64_t top, std::int64_t right, std::int64_t bottom)
    : writer_(writer), direct_(mode == PenMode::Copy), width_(width) {
    if (direct_) {
        return;
    }
    left_ = std::max<std::int64_t>(left - width, 0);
    top_ = std::max<std::int64_t>(top - width, 0);
    const std::int64_t r = std::min<std::int64_t>(right + width, writer.width() - 1);
    const std::int64_t b = std::min<std::int64_t>(bottom + width, writer.height() - 1);
    maskWidth_ = std::max<std::int64_t>(r - left_ + 1, 0);
    maskHeight_ = std::max<std::int64_t>(b - top_ + 1, 0);
    mask_.assign(static_cast<std::size_t>(maskWidth_ * maskHeight_), 0);
}

void WidePenStroke::add(std::int64_t x, std::int64_t y) {
    if (direct_) {
        writer_.put(x, y);
        return;
    }
    x -= left_;
    y -= top_;
    if (x >= 0 && y >= 0 && x < maskWidth_ && y < maskHeight_) {
        mask_[static_cast<std::size_t>(y * maskWidth_ + x)] = 1;
    }
}

void WidePenStroke::stamp(std::int64_t x, std::int64_t y) {
    // Offsets -(width/2) .. (width-1)/2 around the centre, cut to a round pen tip.
    const int lo = -(width_ / 2);
    const int hi = (width_ - 1) / 2;
    const int shift = (width_ % 2 == 0) ? 1 : 0;
    const std::int64_t limit = static_cast<std::int64_t>(width_) * width_;
    for (int dy = lo; dy <= hi; ++dy) {
        for (int dx = lo; dx <= hi; ++dx) {
            const std::int64_t ex = 2 * dx + shift;
            const std::int64_t ey = 2 * dy + shift;
            if (ex * ex + ey * ey <= limit) {
                add(x + dx, y + dy);
            }
        }
    }
}

void WidePenStroke::paint() const {
    for (std::int64_t y = 0; y < maskHeight_; ++y) {
        const std::uint8_t* row = mask_.data() + y * maskWidth_;
        for (std::int64_t x = 0; x < maskWidth_; ++x) {
            if (row[x] != 0) {
                writer_.put(left_ + x, top_ + y);
            }
        }
    }
}

bool penPatternOn(PenStyle style, std::int64_t i) {
    // On/off runs of the cosmetic pen styles, in pixels.
    static constexpr std::array<int, 2> dash{18, 6};
    static constexpr std::array<int, 2> dot{3, 3};
    static constexpr std::array<int, 4> dashDot{9, 6, 3, 6};
    static constexpr std::array<int, 6> dashDotDot{9, 3, 3, 3, 3, 3};
    auto inPattern = [i](const auto& runs) {
        int period = 0;
        for (int r : runs) {
            period += r;
        }
        std::int64_t pos = i % period;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            if (pos < runs[k]) {
                return k % 2 == 0;
            }
            pos -= runs[k];
        }
        return false;
    };
    switch (style) {
    case PenStyle::Solid:
        return true;
    case PenStyle::Dash:
        return inPattern(dash);
    case PenStyle::Dot:
        return inPattern(dot);
    case PenStyle::DashDot:
        return inPattern(dashDot);
    case PenStyle::DashDotDot:
        return inPattern(dashDotDot);
    case PenStyle::Clear:
        return false;
    }
    return false;
}

} // namespace plot
