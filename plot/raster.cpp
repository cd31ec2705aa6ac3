#include "plot/raster.h"

#include <algorithm>
#include <array>

WidePenStroke::WidePenStroke(const PixelWriter& writer, TPenMode mode, int width, std::int64_t left,
                             std::int64_t top, std::int64_t right, std::int64_t bottom)
    : Writer_(writer), Direct_(mode == TPenMode::Copy), Width_(width) {
    if (Direct_) {
        return;
    }
    Left_ = std::max<std::int64_t>(left - width, 0);
    Top_ = std::max<std::int64_t>(top - width, 0);
    const std::int64_t r = std::min<std::int64_t>(right + width, writer.Width() - 1);
    const std::int64_t b = std::min<std::int64_t>(bottom + width, writer.Height() - 1);
    MaskWidth_ = std::max<std::int64_t>(r - Left_ + 1, 0);
    MaskHeight_ = std::max<std::int64_t>(b - Top_ + 1, 0);
    Mask_.assign(static_cast<std::size_t>(MaskWidth_ * MaskHeight_), 0);
}

void WidePenStroke::Add(std::int64_t x, std::int64_t y) {
    if (Direct_) {
        Writer_.Put(x, y);
        return;
    }
    x -= Left_;
    y -= Top_;
    if (x >= 0 && y >= 0 && x < MaskWidth_ && y < MaskHeight_) {
        Mask_[static_cast<std::size_t>(y * MaskWidth_ + x)] = 1;
    }
}

void WidePenStroke::Stamp(std::int64_t x, std::int64_t y) {
    // Offsets -(width/2) .. (width-1)/2 around the centre, cut to a round pen tip.
    const int lo = -(Width_ / 2);
    const int hi = (Width_ - 1) / 2;
    const int shift = (Width_ % 2 == 0) ? 1 : 0;
    const std::int64_t limit = static_cast<std::int64_t>(Width_) * Width_;
    for (int dy = lo; dy <= hi; ++dy) {
        for (int dx = lo; dx <= hi; ++dx) {
            const std::int64_t ex = 2 * dx + shift;
            const std::int64_t ey = 2 * dy + shift;
            if (ex * ex + ey * ey <= limit) {
                Add(x + dx, y + dy);
            }
        }
    }
}

void WidePenStroke::Paint() const {
    for (std::int64_t y = 0; y < MaskHeight_; ++y) {
        const std::uint8_t* row = Mask_.data() + y * MaskWidth_;
        for (std::int64_t x = 0; x < MaskWidth_; ++x) {
            if (row[x] != 0) {
                Writer_.Put(Left_ + x, Top_ + y);
            }
        }
    }
}

bool PenPatternOn(TPenStyle style, std::int64_t i) {
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
    case TPenStyle::Solid:
        return true;
    case TPenStyle::Dash:
        return inPattern(dash);
    case TPenStyle::Dot:
        return inPattern(dot);
    case TPenStyle::DashDot:
        return inPattern(dashDot);
    case TPenStyle::DashDotDot:
        return inPattern(dashDotDot);
    case TPenStyle::Clear:
        return false;
    }
    return false;
}
