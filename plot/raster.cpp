#include "plot/raster.h"

#include <array>

void PixelMask::PaintWith(const PixelWriter& writer) const {
    for (int y = 0; y < Height_; ++y) {
        const std::uint8_t* row = Bits_.data() + static_cast<std::size_t>(y) * Width_;
        for (int x = 0; x < Width_; ++x) {
            if (row[x] != 0) {
                writer.Put(x, y);
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

void AddPenDisc(PixelMask& mask, std::int64_t x, std::int64_t y, int width) {
    // Offsets -(width/2) .. (width-1)/2 around the centre, cut to a round pen tip.
    const int lo = -(width / 2);
    const int hi = (width - 1) / 2;
    const int shift = (width % 2 == 0) ? 1 : 0;
    const std::int64_t limit = static_cast<std::int64_t>(width) * width;
    for (int dy = lo; dy <= hi; ++dy) {
        for (int dx = lo; dx <= hi; ++dx) {
            const std::int64_t ex = 2 * dx + shift;
            const std::int64_t ey = 2 * dy + shift;
            if (ex * ex + ey * ey <= limit) {
                mask.Add(x + dx, y + dy);
            }
        }
    }
}
